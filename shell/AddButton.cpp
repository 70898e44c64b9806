#include "shell/AddButton.h"
#include "look/ColourScheme.h"

AddButton::AddButton() : juce::Button (juce::String())
{
    setTooltip ("Add new device\nCTRL + N");
}

void AddButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    juce::Colour bodyColour (juce::Colours::white.withAlpha (0.0f));
    juce::Colour symbolColour (juce::Colours::grey);
    if (isButtonDown)
    {
        bodyColour = juce::Colours::grey;
        symbolColour = findColour (accentColourId);
    }
    else if (isMouseOver)
    {
        bodyColour = juce::Colours::lightgrey;
        symbolColour = findColour (accentColourId);
    }

    const auto w = (float)getWidth();
    const auto h = (float)getHeight();
    const auto c = h / 6.0f;

    g.setColour (bodyColour);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, h / 4.0f);

    const juce::Rectangle<float> inner (2.0f, 2.0f, w - 4.0f, h - 4.0f);
    g.setColour (symbolColour);
    g.drawLine (inner.getCentreX(), inner.getY(), inner.getCentreX(), inner.getBottom(), c);
    g.drawLine (inner.getX(), inner.getCentreY(), inner.getRight(), inner.getCentreY(), c);
}
