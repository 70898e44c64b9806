#include "shell/InfoButton.h"
#include "look/ColourScheme.h"

InfoButton::InfoButton() : juce::Button (juce::String())
{
    setClickingTogglesState (true);
}

void InfoButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto [bodyColour, symbolColour] = getToggleIconColours (*this, isMouseOver, isButtonDown);

    const auto width = getWidth();
    const auto height = getHeight();
    const auto w = (float)width;
    const auto h = (float)height;

    g.setColour (bodyColour);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, h / 4.0f);

    g.setColour (symbolColour);
    g.drawRoundedRectangle (1.0f, 1.0f, w - 2.0f, h - 2.0f, h / 4.0f, 1.0f);

    // The font is taller than the box: the letter itself fills only part of the font's height.
    const auto innerHeight = height - 8;
    g.setFont (juce::Font ((float)(innerHeight + 7), juce::Font::bold));
    g.drawFittedText ("i", 4, 4, width - 8, innerHeight, juce::Justification::centred, 1, 1.0f);
}
