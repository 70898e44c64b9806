#include "shell/DescriptionView.h"

#include <gtest/gtest.h>

namespace
{
std::unique_ptr<juce::XmlElement> application (const juce::String& children)
{
    return juce::parseXML ("<Application>" + children + "</Application>");
}

// Whether any pixel of the area is darker than the panel's light grey: text was drawn there.
bool hasInk (const juce::Image& image, juce::Rectangle<int> area)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt (x, y).getBrightness() < 0.5f && image.getPixelAt (x, y).getAlpha() > 128)
                return true;

    return false;
}
} // namespace

TEST (DescriptionView, ReadsTheTextsAndFillsInMissingOnes)
{
    juce::ScopedJuceInitialiser_GUI gui;
    auto app = application ("<Title>Main hall</Title><Description>Line one\nline two</Description>");
    DescriptionView view (*app);

    EXPECT_EQ (view.getTitleText(), "Main hall");
    EXPECT_EQ (view.getAuthorText(), "N/A");
    EXPECT_EQ (view.getDescriptionText(), "Line one\nline two");

    // Taken once: later edits of the document do not show.
    app->getChildByName ("Title")->getFirstChildElement()->setText ("Changed");
    EXPECT_EQ (view.getTitleText(), "Main hall");

    auto none = application ("");
    DescriptionView empty (*none);
    EXPECT_EQ (empty.getTitleText(), "N/A");
    EXPECT_EQ (empty.getDescriptionText(), "N/A");
}

TEST (DescriptionView, HeightFollowsTheDescription)
{
    juce::ScopedJuceInitialiser_GUI gui;

    auto emptyDescription = application ("<Title>T</Title><Author>A</Author><Description></Description>");
    DescriptionView empty (*emptyDescription);
    EXPECT_EQ (empty.getWidth(), 400);
    EXPECT_EQ (empty.getHeight(), 66);
    EXPECT_TRUE (empty.getDescriptionBounds().isEmpty());

    auto oneLine = application ("<Description>Short.</Description>");
    DescriptionView shortView (*oneLine);
    const int oneLineHeight = shortView.getDescriptionBounds().getHeight();
    EXPECT_GT (oneLineHeight, 10);
    EXPECT_LT (oneLineHeight, 25);
    EXPECT_EQ (shortView.getHeight(), oneLineHeight + 66);
    EXPECT_EQ (shortView.getDescriptionBounds().getPosition(), juce::Point<int> (10, 56));

    auto longText =
        application ("<Description>" + juce::String::repeatedString ("many words ", 80) + "</Description>");
    DescriptionView longView (*longText);
    const int wideHeight = longView.getHeight();
    EXPECT_GT (wideHeight, 66 + 5 * oneLineHeight);
    EXPECT_EQ (wideHeight, longView.getDescriptionBounds().getHeight() + 66);
    EXPECT_LE (longView.getDescriptionBounds().getWidth(), 400 - 20);

    // Narrower panel, more lines.
    longView.fitToWidth (250);
    EXPECT_EQ (longView.getWidth(), 250);
    EXPECT_GT (longView.getHeight(), wideHeight);
    EXPECT_LE (longView.getDescriptionBounds().getWidth(), 250 - 20);
}

TEST (DescriptionView, PaintsTheTextsOnARoundedLightGreyPanel)
{
    juce::ScopedJuceInitialiser_GUI gui;
    auto app = application ("<Title>Title</Title><Author>Someone</Author><Description>Text</Description>");
    DescriptionView view (*app);

    juce::Image image (juce::Image::ARGB, view.getWidth(), view.getHeight(), true);
    {
        juce::Graphics g (image);
        view.paint (g);
    }

    // Rounded corner left clear; the body light grey at 90 %.
    EXPECT_LT (image.getPixelAt (0, 0).getAlpha(), 128);
    const auto body = image.getPixelAt (view.getWidth() - 20, view.getHeight() / 2);
    EXPECT_NEAR (body.getAlpha(), 230, 2);
    EXPECT_NEAR (body.getRed(), 0xd3, 2);

    EXPECT_TRUE (hasInk (image, { 10, 10, 60, 18 })); // title
    EXPECT_TRUE (hasInk (image, { 10, 33, 50, 18 })); // "Author:"
    EXPECT_TRUE (hasInk (image, { 60, 33, 80, 18 })); // the author
    EXPECT_TRUE (hasInk (image, view.getDescriptionBounds()));
    EXPECT_FALSE (hasInk (image, { 200, 10, 150, 18 })); // nothing right of a short title
}
