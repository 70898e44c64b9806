#include "look/iosButton.h"

iosButton::iosButton (const juce::String& name) : juce::Button (name) {}

void iosButton::paintButton (juce::Graphics& g, bool, bool isButtonDown)
{
    const auto w = (float)getWidth();
    const auto h = (float)getHeight();
    const auto inset = h / 30.0f;
    const auto corner = h / 5.0f;

    // Rim: dark at the top, light at the bottom, so the body looks sunk in.
    g.setGradientFill (juce::ColourGradient (juce::Colours::black.withAlpha (0.3f), 0.0f, 0.0f,
                                             juce::Colours::white.withAlpha (0.3f), 0.0f, h, false));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, corner);

    const auto body = findColour (juce::TextButton::buttonColourId);
    const auto inner = juce::Rectangle<float> (0.0f, 0.0f, w, h).reduced (inset);

    g.setGradientFill (juce::ColourGradient (body.brighter (0.2f), 0.0f, 0.0f, body.darker (0.2f), 0.0f,
                                             inner.getHeight(), false));
    g.fillRoundedRectangle (inner, corner - inset);

    if (isButtonDown)
    {
        g.setColour (juce::Colours::black.withAlpha (0.2f));
        g.fillRoundedRectangle (inner, corner - inset);
    }

    const auto brightness =
        (0.299f * body.getRed() + 0.587f * body.getGreen() + 0.114f * body.getBlue()) / 255.0f;
    auto textColour = brightness > 0.5f ? juce::Colours::black : juce::Colours::white;
    if (!isEnabled())
        textColour = body.darker (0.4f);

    g.setColour (textColour);
    g.setFont (g.getCurrentFont().withHeight (h * 0.5f));
    // The text area stops short of the bottom rim, so the text sits slightly high.
    g.drawFittedText (getButtonText(), 0, 0, (int)w, (int)(h - inset), juce::Justification::centred, 1, 0.7f);
}
