#include "editors/BarSlider.h"

void setupBarSlider (juce::Slider& slider, juce::LookAndFeel& look, double minimum, double maximum,
                     double interval, const juce::String& suffix)
{
    slider.setSliderStyle (juce::Slider::LinearBarVertical);
    slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, slider.getTextBoxWidth(),
                            slider.getTextBoxHeight());
    slider.setLookAndFeel (&look);
    slider.setVelocityBasedMode (true);
    slider.setVelocityModeParameters (5.0, 1, 0.0, true);
    slider.setRange (minimum, maximum, interval);
    slider.setTextValueSuffix (suffix);
}
