#include "shell/DeleteButton.h"

DeleteButton::DeleteButton() : juce::Button (juce::String())
{
    setTooltip ("Delete device\nCTRL + D");
}

void DeleteButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    juce::Colour bodyColour (juce::Colours::white.withAlpha (0.0f));
    juce::Colour symbolColour (juce::Colours::grey);
    if (isButtonDown)
    {
        bodyColour = juce::Colours::grey;
        symbolColour = juce::Colours::darkred;
    }
    else if (isMouseOver)
    {
        bodyColour = juce::Colours::lightgrey;
        symbolColour = juce::Colours::darkred;
    }

    const auto w = (float)getWidth();
    const auto h = (float)getHeight();
    const auto c = h / 6.0f;

    g.setColour (bodyColour);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, h / 4.0f);

    const juce::Rectangle<float> inner (4.0f, 4.0f, w - 8.0f, h - 8.0f);
    g.setColour (symbolColour);
    g.drawLine (inner.getX(), inner.getY(), inner.getRight(), inner.getBottom(), c);
    g.drawLine (inner.getRight(), inner.getY(), inner.getX(), inner.getBottom(), c);
}
