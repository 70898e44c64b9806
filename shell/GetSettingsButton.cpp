#include "shell/GetSettingsButton.h"
#include "look/ColourScheme.h"

GetSettingsButton::GetSettingsButton() : juce::Button (juce::String())
{
    setTooltip ("Get settings from connected Zelta\nCTRL + G");
}

void GetSettingsButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    juce::Colour bodyColour (juce::Colours::white.withAlpha (0.0f));
    juce::Colour symbolColour (juce::Colours::grey);

    // A disabled button ignores the mouse entirely.
    if (!isEnabled())
    {
        symbolColour = juce::Colours::lightgrey;
    }
    else if (isButtonDown)
    {
        bodyColour = juce::Colours::grey;
        symbolColour = findColour (accentColourId);
    }
    else if (isMouseOver)
    {
        bodyColour = juce::Colours::lightgrey;
        symbolColour = findColour (accentColourId);
    }

    const auto w = (float)getWidth() - 2.0f;
    const auto h = (float)getHeight() - 2.0f;
    const auto c = h / 8.0f;

    g.setColour (bodyColour);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, h / 4.0f);

    g.setColour (symbolColour);
    juce::Path arrow;
    arrow.addArrow (juce::Line<float> (w / 2.0f, 1.0f, w / 2.0f, h - 5.0f), c, 14.0f, 6.0f);
    g.fillPath (arrow);
    g.drawLine (2.0f, h - 3.0f, w - 2.0f, h - 3.0f, c);
}
