#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The GPI page's voltage knobs: a thin ring along the travel, a short pointer
// segment, the position shown as a voltage between 0.0V and 3.3V, and the
// knob's name underneath. Fixed colours; the colour scheme does not enter.
class iosRotary : public juce::LookAndFeel_V2
{
public:
    static constexpr juce::uint32 enabledArgb = 0xff0171f1;
    static constexpr juce::uint32 disabledArgb = 0x80808080;

    iosRotary() = default;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float proportion,
                           float startAngle, float endAngle, juce::Slider&) override;

    // The text shown for a proportion of the travel: the full travel is the
    // ADC's 3.3 V, whatever the slider's own range.
    static juce::String voltageText (float proportion);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (iosRotary)
};
