#include "look/FlatLNF.h"
#include "look/ColourScheme.h"

void FlatLNF::drawTickBox (juce::Graphics& g, juce::Component&, float x, float y, float w, float h,
                           bool ticked, bool isEnabled, bool, bool)
{
    const auto colour = isEnabled ? juce::Colour (accentColourArgb) : juce::Colours::grey;
    g.setColour (colour);

    // The box stands a little left of its area so that it lines up with the captions above it.
    g.drawRoundedRectangle (x - 2.5f, y, w, h, 2.0f, 1.0f);

    if (ticked)
    {
        juce::Path tick;
        tick.startNewSubPath (0.0f, 5.0f);
        tick.lineTo (2.0f, 7.5f);
        tick.lineTo (6.0f, 1.5f);
        tick.applyTransform (juce::AffineTransform::scale (w / 9.0f, h / 9.0f).translated (x, y));

        g.strokePath (tick,
                      juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    }
}

void FlatLNF::drawComboBox (juce::Graphics& g, int width, int height, bool, int buttonX, int buttonY,
                            int buttonW, int buttonH, juce::ComboBox& box)
{
    g.fillAll (box.findColour (juce::ComboBox::backgroundColourId));

    if (box.isEnabled() && box.hasKeyboardFocus (false))
    {
        g.setColour (box.findColour (juce::ComboBox::buttonColourId));
        g.drawRect (0, 0, width, height, 2);
    }
    else
    {
        g.setColour (box.findColour (juce::ComboBox::outlineColourId));
        g.drawRect (0, 0, width, height, 1);
    }

    const auto bx = (float)buttonX;
    const auto by = (float)buttonY;
    const auto bw = (float)buttonW;
    const auto bh = (float)buttonH;

    juce::Path arrows;
    arrows.addTriangle (bx + 0.5f * bw, by + 0.25f * bh, bx + 0.7f * bw, by + 0.45f * bh, bx + 0.3f * bw,
                        by + 0.45f * bh);
    arrows.addTriangle (bx + 0.5f * bw, by + 0.75f * bh, bx + 0.7f * bw, by + 0.55f * bh, bx + 0.3f * bw,
                        by + 0.55f * bh);

    const auto arrowColour = box.findColour (juce::ComboBox::arrowColourId);
    g.setColour (arrowColour.withMultipliedAlpha (box.isEnabled() ? 1.0f : 0.3f));
    g.fillPath (arrows);
}

void FlatLNF::drawLinearSlider (juce::Graphics& g, int, int, int, int, float, float, float,
                                juce::Slider::SliderStyle, juce::Slider& slider)
{
    // Only the background: the value is read from the text box.
    g.fillAll (slider.findColour (juce::Slider::backgroundColourId));
}

juce::Label* FlatLNF::createSliderTextBox (juce::Slider& slider)
{
    auto* label = LookAndFeel_V3::createSliderTextBox (slider);
    label->setFont (juce::Font (12.0f));
    label->setJustificationType (juce::Justification::left);
    label->setColour (juce::Label::textColourId, juce::Colours::black);
    return label;
}
