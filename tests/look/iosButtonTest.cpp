#include <gtest/gtest.h>
#include "look/ColourScheme.h"
#include "look/iosButton.h"
#include "tests/look/LookPaintHelpers.h"

namespace
{
class IosButtonTest : public ::testing::Test
{
protected:
    IosButtonTest()
    {
        applyColourScheme (scheme);
        button.setLookAndFeel (&scheme);
        button.setSize (200, 60);
    }
    ~IosButtonTest() override { button.setLookAndFeel (nullptr); }

    // Lowest and highest red of the text "OK" and the body around it.
    std::pair<int, int> textRedRange()
    {
        return lookpaint::redRange (lookpaint::paint (button), { 60, 8, 80, 40 });
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V4 scheme;
    iosButton button{ "OK" };
};
} // namespace

TEST_F (IosButtonTest, BodyGradientRimAndPressedShade)
{
    const auto normal = lookpaint::paint (button);
    // Inset 2: the body runs from light grey brighter by 0.2 at y = 0 to darker by 0.2 at y = 56.
    EXPECT_TRUE (lookpaint::pixelIs (normal, 20, 2, juce::Colour (0xffdadada), 3));
    EXPECT_TRUE (lookpaint::pixelIs (normal, 20, 55, juce::Colour (0xffafafaf), 3));
    // The rim: black at 30 % along the top edge.
    EXPECT_TRUE (lookpaint::pixelIs (normal, 100, 0, juce::Colours::black.withAlpha (0.3f), 3));

    button.setState (juce::Button::buttonOver);
    const auto hovered = lookpaint::paint (button);
    button.setState (juce::Button::buttonDown);
    const auto pressed = lookpaint::paint (button);
    for (auto [x, y] : { std::pair{ 20, 30 }, { 100, 30 }, { 100, 0 } })
        EXPECT_EQ (hovered.getPixelAt (x, y), normal.getPixelAt (x, y));
    // Pressing lays 20 % black over the inner body only.
    const auto shaded = normal.getPixelAt (20, 30).overlaidWith (juce::Colours::black.withAlpha (0.2f));
    EXPECT_TRUE (lookpaint::pixelIs (pressed, 20, 30, shaded));
    EXPECT_EQ (pressed.getPixelAt (100, 0), normal.getPixelAt (100, 0));
}

TEST_F (IosButtonTest, TextColourFollowsBodyBrightnessAndEnablement)
{
    EXPECT_LT (textRedRange().first, 0x20) << "black on light grey";

    button.setEnabled (false);
    EXPECT_NEAR (textRedRange().first, 0x96, 3) << "disabled: the body darker by 0.4";
    button.setEnabled (true);

    button.setColour (juce::TextButton::buttonColourId, juce::Colours::orange);
    EXPECT_LT (textRedRange().first, 0x20) << "orange (0.68) takes black text";

    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff0171f1));
    EXPECT_GT (textRedRange().second, 0xf0) << "the accent (0.37) takes white text";

    const auto untoggled = textRedRange();
    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (textRedRange(), untoggled) << "the toggle state plays no part";
}
