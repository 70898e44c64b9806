#include "editors/ParameterValue.h"

bool setParameterValue (juce::XmlElement& parameter, int stepValue, const juce::String& displayValue)
{
    const bool sameStep = parameter.hasAttribute ("StepValue") &&
                          parameter.getStringAttribute ("StepValue") == juce::String (stepValue);
    const bool sameText = !parameter.hasAttribute ("DisplayValue") ||
                          parameter.getStringAttribute ("DisplayValue") == displayValue;

    if (sameStep && sameText)
        return false;

    parameter.setAttribute ("DisplayValue", displayValue);
    parameter.setAttribute ("StepValue", stepValue);
    return true;
}
