#include "editors/iosRotary.h"

juce::String iosRotary::voltageText (float proportion)
{
    return juce::String ((double)proportion * 3.3, 1) + "V";
}

void iosRotary::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float proportion,
                                  float startAngle, float endAngle, juce::Slider& slider)
{
    const auto radius = (float)(juce::jmin (width / 2, height / 2) - 2);
    const auto centreX = (float)x + (float)width * 0.5f;
    const auto centreY = (float)y + (float)height * 0.5f;
    const juce::Rectangle<float> knob (centreX - radius, centreY - radius, radius * 2.0f, radius * 2.0f);
    const auto angle = startAngle + proportion * (endAngle - startAngle);

    auto colour = slider.isEnabled() ? juce::Colour (enabledArgb) : juce::Colour (disabledArgb);
    if (slider.isEnabled() && (slider.isMouseOverOrDragging()))
        colour = colour.darker (0.8f);
    g.setColour (colour);

    juce::Path pointer;
    pointer.addPieSegment (knob, angle - 0.075f, angle + 0.075f, 0.7f);
    g.fillPath (pointer);

    g.setFont (juce::Font (11.0f, juce::Font::plain));
    g.drawText (voltageText (proportion), 0, 0, width, height, juce::Justification::centred, false);

    g.setFont (juce::Font (11.0f, juce::Font::bold));
    g.drawText (slider.getName(), 0, 0, width, height, juce::Justification::centredBottom, false);

    juce::Path track;
    track.addPieSegment (knob, startAngle, endAngle, 0.95f);
    g.strokePath (track, juce::PathStrokeType (1.2f));
}
