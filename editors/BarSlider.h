#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The value sliders of the EQ dialog and the OUTPUTS page: a vertical bar whose
// text box fills it, dragged by velocity (the modifier key swaps the mode).
void setupBarSlider (juce::Slider& slider, juce::LookAndFeel& look, double minimum, double maximum,
                     double interval, const juce::String& suffix);
