#include "editors/iosCallout.h"

void iosCallout::drawCallOutBoxBackground (juce::CallOutBox& box, juce::Graphics& g,
                                           const juce::Path& outline, juce::Image& cachedImage)
{
    // A box not laid out yet has no area to cast a shadow into.
    if (cachedImage.isNull() && box.getWidth() > 0 && box.getHeight() > 0)
    {
        cachedImage = juce::Image (juce::Image::ARGB, box.getWidth(), box.getHeight(), true);
        juce::Graphics shadow (cachedImage);
        juce::DropShadow (juce::Colours::black.withAlpha (0.7f), 8, { 0, 2 }).drawForPath (shadow, outline);
    }

    g.setOpacity (1.0f);
    if (cachedImage.isValid())
        g.drawImageAt (cachedImage, 0, 0);

    g.setColour (juce::Colours::white);
    g.fillPath (outline);

    g.setColour (juce::Colours::grey.withAlpha (0.8f));
    g.strokePath (outline, juce::PathStrokeType (4.0f));
}
