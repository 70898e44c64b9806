#include <gtest/gtest.h>
#include "look/ColourScheme.h"
#include "look/FlatLNF.h"
#include "tests/look/LookPaintHelpers.h"

using lookpaint::pixelIs;

namespace
{
const juce::Colour accent (0xff0171f1);

class LookTest : public ::testing::Test
{
protected:
    LookTest() { applyColourScheme (flat); }

    juce::ScopedJuceInitialiser_GUI gui;
    FlatLNF flat;
};
} // namespace

TEST_F (LookTest, ColourSchemePutsTheWholeTableIntoALookAndFeel)
{
    juce::LookAndFeel_V4 plain;
    EXPECT_EQ (plain.findColour (accentColourId), juce::Colours::black) << "unknown id without the scheme";

    juce::LookAndFeel_V4 lookAndFeel;
    applyColourScheme (lookAndFeel);
    applyColourScheme (lookAndFeel);
    const std::pair<int, juce::uint32> expected[] = {
        { 0x1000100, 0xffd3d3d3 }, { 0x1000101, 0xff969696 }, { 0x1000202, 0xff4999f4 },
        { 0x1000206, 0xff0171f1 }, { 0x1005700, 0xffd3d3d3 }, { 0x1000900, 0xff969696 },
        { 0x1000d00, 0xff0171f1 }, { 0x1001300, 0xff4999f4 }, { 0x100b000, 0xff0171f1 },
        { 0x1001600, 0xff4999f4 }, { 0x1000e00, 0xff000000 },
    };
    for (const auto& [id, argb] : expected)
        EXPECT_EQ (lookAndFeel.findColour (id).getARGB(), argb) << "id 0x" << juce::String::toHexString (id);
}

TEST_F (LookTest, FlatComboBoxFrameAndArrowsDimmedWhenDisabled)
{
    juce::ComboBox box;
    box.setLookAndFeel (&flat);
    box.setColour (juce::ComboBox::backgroundColourId, juce::Colours::white);
    box.setColour (juce::ComboBox::outlineColourId, juce::Colours::red);
    box.setSize (100, 24);
    // The arrow area starts where the box's text label ends.
    const auto arrowX = (box.getChildComponent (0)->getRight() + 100) / 2 - 1;

    auto image = lookpaint::paint (box);
    EXPECT_TRUE (pixelIs (image, 0, 12, juce::Colours::red)); // unfocused: a one-pixel frame
    EXPECT_TRUE (pixelIs (image, 1, 12, juce::Colours::white));
    EXPECT_TRUE (pixelIs (image, arrowX, 9, juce::Colours::black));  // upper triangle
    EXPECT_TRUE (pixelIs (image, arrowX, 14, juce::Colours::black)); // lower triangle
    EXPECT_TRUE (pixelIs (image, arrowX, 12, juce::Colours::white)); // the gap between them

    box.setEnabled (false);
    image = lookpaint::paint (box);
    const auto dimmed = juce::Colours::white.overlaidWith (juce::Colours::black.withAlpha (0.3f));
    EXPECT_TRUE (pixelIs (image, arrowX, 9, dimmed));
    EXPECT_TRUE (pixelIs (image, arrowX, 14, dimmed));
    box.setLookAndFeel (nullptr);
}

TEST_F (LookTest, FlatTickBoxIsAnOutlineWithALineTick)
{
    juce::ToggleButton toggle;
    toggle.setLookAndFeel (&flat);
    toggle.setSize (40, 20);
    // The box is 16.5 wide at x = 4 and stands 2.5 further left: its left edge covers column 1.
    const juce::Rectangle<int> inside (5, 5, 10, 11);
    const auto tickColour = [&] { return lookpaint::mostOpaquePixel (lookpaint::paint (toggle), inside); };

    auto image = lookpaint::paint (toggle);
    EXPECT_TRUE (pixelIs (image, 1, 10, accent));
    EXPECT_EQ (tickColour().getAlpha(), 0) << "unticked: outline only, nothing inside";

    toggle.setToggleState (true, juce::dontSendNotification);
    EXPECT_GT (tickColour().getAlpha(), 100);
    EXPECT_TRUE (lookpaint::coloursMatch (tickColour().withAlpha (1.0f), accent, 4));
    // A stroked line: inside the tick's bend nothing is filled.
    EXPECT_TRUE (pixelIs (lookpaint::paint (toggle), 8, 10, juce::Colours::transparentBlack));

    toggle.setEnabled (false);
    EXPECT_TRUE (pixelIs (lookpaint::paint (toggle), 1, 10, juce::Colours::grey));
    EXPECT_TRUE (lookpaint::coloursMatch (tickColour().withAlpha (1.0f), juce::Colours::grey, 4));
    toggle.setLookAndFeel (nullptr);
}

TEST_F (LookTest, FlatSliderShowsOnlyItsBackgroundAndAPlainTextBox)
{
    juce::Slider slider (juce::Slider::LinearVertical, juce::Slider::TextBoxBelow);
    slider.setLookAndFeel (&flat);
    slider.setRange (0.0, 10.0, 1.0);
    slider.setValue (7.0);
    slider.setColour (juce::Slider::backgroundColourId, juce::Colours::transparentBlack);
    slider.setSize (60, 120);

    auto* textBox = dynamic_cast<juce::Label*> (slider.getChildComponent (0));
    ASSERT_NE (textBox, nullptr);
    EXPECT_FLOAT_EQ (textBox->getFont().getHeight(), 12.0f);
    EXPECT_EQ (textBox->getJustificationType(), juce::Justification (juce::Justification::left));
    EXPECT_EQ (textBox->findColour (juce::Label::textColourId), juce::Colours::black);

    // Transparent: no track and no thumb at 70 % above the text box.
    const juce::Rectangle<int> track (0, 0, 60, textBox->getY());
    EXPECT_EQ (lookpaint::mostOpaquePixel (lookpaint::paint (slider), track).getAlpha(), 0);

    slider.setColour (juce::Slider::backgroundColourId, juce::Colours::green);
    EXPECT_TRUE (pixelIs (lookpaint::paint (slider), 30, track.getBottom() - 5, juce::Colours::green));
    slider.setLookAndFeel (nullptr);
}
