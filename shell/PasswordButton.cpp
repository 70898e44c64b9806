#include "shell/PasswordButton.h"
#include "look/ColourScheme.h"

PasswordButton::PasswordButton()
{
    setClickingTogglesState (true);
    setTooltip ("Lock settings with password\nCTRL + L");
}

void PasswordButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto accent = findColour (accentColourId);

    juce::Colour bodyColour (juce::Colours::white);
    juce::Colour lockColour (getToggleState() ? accent : juce::Colours::grey);
    if (isButtonDown)
    {
        bodyColour = juce::Colours::grey;
        lockColour = accent;
    }
    else if (isMouseOver)
    {
        bodyColour = juce::Colours::lightgrey;
        lockColour = accent;
    }

    const auto w = (float)getWidth() - 2.0f;
    const auto h = (float)getHeight() - 2.0f;
    const auto c = h / 8.0f;

    g.setColour (bodyColour);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, h / 4.0f);

    g.setColour (lockColour);
    g.fillRoundedRectangle (2.0f, 8.0f, w - 4.0f, h - 9.0f, c);
    g.drawEllipse (5.0f, 2.0f, w - 10.0f, h - 10.0f, c);

    g.setColour (bodyColour);
    g.fillRoundedRectangle (w / 2.0f - 1.5f, h / 2.0f + 1.0f, 3.0f, 5.0f, c);
}
