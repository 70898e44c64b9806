#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The slider of one EQ band value (gain, frequency or width): its value is a
// step of one row of the EQ band table, so that the EQ dialog can store it as
// the parameter's StepValue, and its text is the parameter library's text for
// that step. The owner gives it its look and listens to it.
class EQSlider : public juce::Slider
{
public:
    explicit EQSlider (int tableRow);

    int getRow() const noexcept { return row; }

    // The parameter library's display text of a step of the row; empty when the
    // library has none.
    static juce::String textForStep (int row, int step);

    // "-" while the slider (or a parent) is disabled.
    juce::String getTextFromValue (double value) override;
    // Typed text: a number, optionally followed by a prefix and unit ("1.6 kHz",
    // "1600", "-3 dB"). Text without a number leaves the value as it is.
    double getValueFromText (const juce::String& text) override;

private:
    const int row;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQSlider)
};
