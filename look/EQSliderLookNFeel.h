#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The look of the EQ dialog's band sliders: the slider paints only the
// look-and-feel's background colour; the slider draws its own bar on top.
class EQSliderLookNFeel : public juce::LookAndFeel_V2
{
public:
    EQSliderLookNFeel() = default;

    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                           float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                           juce::Slider&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQSliderLookNFeel)
};
