#include "look/EditButton.h"
#include "look/ColourScheme.h"

namespace
{
juce::Path makePolyline (std::initializer_list<juce::Point<float>> points)
{
    juce::Path path;
    bool first = true;
    for (auto point : points)
    {
        if (first)
            path.startNewSubPath (point);
        else
            path.lineTo (point);
        first = false;
    }
    return path;
}
} // namespace

EditButton::EditButton() : juce::Button (juce::String())
{
    setClickingTogglesState (true);
    resized();
}

void EditButton::resized()
{
    // A square with its top-right corner left open for the pencil.
    framePath = makePolyline ({ { 80, 24 }, { 80, 80 }, { 0, 80 }, { 0, 0 }, { 56, 0 } });
    pencilPath = makePolyline ({ { 72, 18 }, { 32, 60 }, { 22, 60 }, { 22, 50 }, { 62, 8 } });
    tipPath = makePolyline ({ { 68, 0 }, { 80, 12 } });

    const auto target = getLocalBounds().reduced (1).toFloat();
    if (target.isEmpty())
        return;

    const auto fit = juce::RectanglePlacement (juce::RectanglePlacement::centred)
                         .getTransformToFit (framePath.getBounds(), target);
    framePath.applyTransform (fit);
    pencilPath.applyTransform (fit);
    tipPath.applyTransform (fit);
}

void EditButton::paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown)
{
    const auto [bodyColour, symbolColour] = getToggleIconColours (*this, isMouseOver, isButtonDown);

    g.setColour (bodyColour);
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 1.0f);

    g.setColour (symbolColour);
    g.strokePath (framePath,
                  juce::PathStrokeType (0.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.strokePath (pencilPath,
                  juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
    g.strokePath (tipPath,
                  juce::PathStrokeType (1.6f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));

    if (!isEnabled())
        g.fillAll (juce::Colours::white.withAlpha (0.5f));
}
