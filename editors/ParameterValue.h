#pragma once

#include <juce_core/juce_core.h>

// Sets a PARAMETER's StepValue and the DisplayValue that shows it. What the
// amplifier gets is the StepValue; a parameter that already carries it is left
// as it is when its shown text agrees or is missing (a document read back from
// the amplifier holds Ids and StepValues only), so that rewriting what is there
// changes nothing. True when something was written.
bool setParameterValue (juce::XmlElement& parameter, int stepValue, const juce::String& displayValue);
