#include "editors/ParameterRecord.h"

#include "document/SettingsDocument.h"

ParameterRecord::ParameterRecord (int parameterId, int step, const juce::String& text)
    : id (parameterId), stepValue (step), displayValue (text), read (true)
{
}

void ParameterRecord::load (const juce::XmlElement* effect, int parameterId)
{
    if (effect == nullptr)
        return;

    id = parameterId;
    read = false;
    readFrom (findChildById (*effect, "PARAMETER", parameterId));
}

void ParameterRecord::readFrom (const juce::XmlElement* parameter)
{
    if (parameter == nullptr)
        return;

    read = parameter->hasAttribute ("StepValue") && parameter->hasAttribute ("DisplayValue");

    if (read)
    {
        stepValue = parameter->getIntAttribute ("StepValue");
        displayValue = parameter->getStringAttribute ("DisplayValue");
    }
}

void ParameterRecord::writeTo (juce::XmlElement* effect) const
{
    if (effect == nullptr || !read)
        return;

    if (auto* parameter = findChildById (*effect, "PARAMETER", id))
    {
        parameter->setAttribute ("StepValue", stepValue);
        parameter->setAttribute ("DisplayValue", displayValue);
    }
}
