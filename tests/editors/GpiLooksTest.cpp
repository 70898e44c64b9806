#include "editors/iosCallout.h"
#include "editors/iosRotary.h"
#include "tests/editors/ControlTestSupport.h"

namespace
{
// The most opaque pixel of the image: over a transparent ground, the ink.
juce::Colour ink (const juce::Image& image)
{
    auto best = juce::Colours::transparentBlack;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() > best.getAlpha())
                best = image.getPixelAt (x, y);
    return best;
}

juce::Image drawKnob (juce::Slider& knob)
{
    iosRotary look;
    juce::Image image (juce::Image::ARGB, 39, 39, true);
    juce::Graphics g (image);
    const auto p = (float)knob.valueToProportionOfLength (knob.getValue());
    look.drawRotarySlider (g, 0, 0, 39, 39, p, 0.0f, 5.0f, knob);
    return image;
}
} // namespace

TEST (iosRotary, ShowsTheTravelAsVoltsAndGreysOutWhenDisabled)
{
    juce::ScopedJuceInitialiser_GUI gui;
    EXPECT_EQ (iosRotary::voltageText (1.0f), "3.3V");
    EXPECT_EQ (iosRotary::voltageText (0.0f), "0.0V");
    EXPECT_EQ (iosRotary::voltageText (0.7351f), "2.4V");

    juce::Slider knob;
    knob.setRange (0.0, 1023.0, 1.0);
    knob.setValue (871.0);
    EXPECT_EQ (juce::Colour (ink (drawKnob (knob))).withAlpha ((juce::uint8)255).getARGB(),
               iosRotary::enabledArgb);

    knob.setEnabled (false);
    const auto disabled = ink (drawKnob (knob));
    EXPECT_LT (disabled.getAlpha(), 255); // half-transparent ink, however often overdrawn
    EXPECT_NEAR (disabled.getRed(), 0x80, 2);
    EXPECT_NEAR (disabled.getBlue(), 0x80, 2);

    // The hover colour is the accent darkened as the framework darkens.
    EXPECT_EQ (juce::Colour (iosRotary::enabledArgb).darker (0.8f).getARGB(), 0xff003e85u);
}

TEST (iosCallout, DrawsTheShadowOnceAndKeepsItWithTheBox)
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::Component parent, content;
    parent.setSize (300, 300);
    content.setSize (60, 40);
    juce::CallOutBox box (content, { 0, 0, 10, 10 }, &parent);
    box.setSize (100, 80);

    iosCallout look;
    juce::Path outline;
    outline.addRectangle (20.0f, 20.0f, 40.0f, 30.0f);
    juce::Image cached;

    juce::Image first (juce::Image::ARGB, 100, 80, true);
    {
        juce::Graphics g (first);
        look.drawCallOutBoxBackground (box, g, outline, cached);
    }
    ASSERT_TRUE (cached.isValid());
    EXPECT_GT (first.getPixelAt (40, 53).getAlpha(), 0) << "shadow below the bubble";
    EXPECT_EQ (first.getPixelAt (40, 35), juce::Colour (juce::Colours::white));

    // A later paint draws what the box keeps, not a new shadow.
    cached.clear (cached.getBounds(), juce::Colours::red);
    juce::Image second (juce::Image::ARGB, 100, 80, true);
    {
        juce::Graphics g (second);
        look.drawCallOutBoxBackground (box, g, outline, cached);
    }
    EXPECT_EQ (second.getPixelAt (5, 5), juce::Colour (juce::Colours::red));
}
