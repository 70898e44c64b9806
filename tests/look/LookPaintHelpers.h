#pragma once

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

// Helpers for tests that paint components into images and read pixels back.
namespace lookpaint
{
inline juce::Image paint (juce::Component& component)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
}

// A left click through the component's own mouse handlers.
inline void click (juce::Component& component)
{
    const juce::Point<float> inside (2.0f, 2.0f);
    const auto now = juce::Time::getCurrentTime();
    component.setVisible (true); // buttons ignore the mouse while hidden
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), inside,
                                  juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                  &component, &component, now, inside, now, 1, false);
    component.mouseDown (event);
    component.mouseUp (event);
}

// Channel by channel, alpha included; renderers round antialiasing a little differently.
inline ::testing::AssertionResult coloursMatch (juce::Colour actual, juce::Colour expected, int tolerance = 2)
{
    const auto near = [tolerance] (int a, int b) { return std::abs (a - b) <= tolerance; };
    if (near (actual.getAlpha(), expected.getAlpha()) && near (actual.getRed(), expected.getRed()) &&
        near (actual.getGreen(), expected.getGreen()) && near (actual.getBlue(), expected.getBlue()))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual.toDisplayString (true) << " is not " << expected.toDisplayString (true);
}

inline ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::Colour expected,
                                           int tolerance = 2)
{
    auto result = coloursMatch (image.getPixelAt (x, y), expected, tolerance);
    return result ? result : (result << " at (" << x << ", " << y << ")");
}

// The most opaque pixel of an area. Over a transparent body its colour is the
// colour of the ink, however thin the stroke.
inline juce::Colour mostOpaquePixel (const juce::Image& image, juce::Rectangle<int> area)
{
    auto best = juce::Colours::transparentBlack;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > best.getAlpha())
                best = image.getPixelAt (x, y);
    return best;
}

// Lowest and highest red of the opaque pixels of an area: text on a lighter or
// darker body shows up as an extreme.
inline std::pair<int, int> redRange (const juce::Image& image, juce::Rectangle<int> area)
{
    int lowest = 255, highest = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (const auto pixel = image.getPixelAt (x, y); pixel.getAlpha() >= 250)
            {
                lowest = std::min (lowest, (int)pixel.getRed());
                highest = std::max (highest, (int)pixel.getRed());
            }
    return { lowest, highest };
}
} // namespace lookpaint
