#pragma once

#include <juce_core/juce_core.h>

// The value of one PARAMETER of the settings document, kept to be written back
// later. A record that could not read both the step and its text writes nothing:
// a value that was never read must never reach the amplifier.
class ParameterRecord
{
public:
    ParameterRecord() = default;
    ParameterRecord (int id, int stepValue, const juce::String& displayValue);

    // Reads the PARAMETER with this Id of the effect. A missing effect leaves the
    // record as it was; a missing parameter or value leaves it unread.
    void load (const juce::XmlElement* effect, int parameterId);
    void readFrom (const juce::XmlElement* parameter);
    // Sets the effect's PARAMETER of the record's Id; nothing when the effect has
    // none or the record was not read.
    void writeTo (juce::XmlElement* effect) const;

    int getId() const noexcept { return id; }
    bool isRead() const noexcept { return read; }
    int getStepValue() const noexcept { return stepValue; }
    const juce::String& getDisplayValue() const noexcept { return displayValue; }

private:
    int id = -1;
    int stepValue = -1;
    juce::String displayValue;
    bool read = false;
};
