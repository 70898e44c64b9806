#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The look of the setup pages' and the EQ dialog's controls: combo boxes with a
// plain frame and a double arrow, tick boxes drawn as outlines, and sliders that
// show only their background and their text box. Owners apply the colour scheme
// to their instance and keep it alive as long as their controls.
class FlatLNF : public juce::LookAndFeel_V3
{
public:
    FlatLNF() = default;

    void drawTickBox (juce::Graphics&, juce::Component&, float x, float y, float w, float h, bool ticked,
                      bool isEnabled, bool isMouseOver, bool isButtonDown) override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                       int buttonW, int buttonH, juce::ComboBox&) override;

    void drawLinearSlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                           float minSliderPos, float maxSliderPos, juce::Slider::SliderStyle,
                           juce::Slider&) override;

    juce::Label* createSliderTextBox (juce::Slider&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FlatLNF)
};
