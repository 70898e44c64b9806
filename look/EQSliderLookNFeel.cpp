#include "look/EQSliderLookNFeel.h"

void EQSliderLookNFeel::drawLinearSlider (juce::Graphics& g, int, int, int, int, float, float, float,
                                          juce::Slider::SliderStyle, juce::Slider&)
{
    // The look-and-feel's own colour, not the slider's: every band slider shares one background.
    g.fillAll (findColour (juce::Slider::backgroundColourId));
}
