#include "shell/DescriptionView.h"

namespace
{
juce::String childTextOrNA (const juce::XmlElement& application, const char* tag)
{
    if (auto* child = application.getChildByName (tag))
        return child->getAllSubText();

    return "N/A";
}
} // namespace

DescriptionView::DescriptionView (const juce::XmlElement& application)
    : title (childTextOrNA (application, "Title")), author (childTextOrNA (application, "Author")),
      description (childTextOrNA (application, "Description"))
{
    fitToWidth (400);
}

void DescriptionView::fitToWidth (int width)
{
    juce::GlyphArrangement layout;
    layout.addJustifiedText (juce::Font (fontHeight), description, 0.0f, 0.0f, (float)(width - 2 * margin),
                             juce::Justification::left);

    auto box = layout.getBoundingBox (0, -1, true);
    descriptionBounds.setSize ((int)box.getWidth(), (int)box.getHeight());

    setSize (width, descriptionBounds.getHeight() + margin + descriptionBounds.getY());
}

void DescriptionView::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xffd3d3d3).withAlpha (0.9f));
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 5.0f);

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font (fontHeight, juce::Font::bold));
    g.drawText (title, titleBounds, juce::Justification::left, true);

    constexpr int authorCaptionWidth = 50;
    g.setFont (juce::Font (fontHeight, juce::Font::plain));
    g.drawText ("Author:", authorBounds.withWidth (authorCaptionWidth), juce::Justification::left, true);
    g.drawText (author, authorBounds.withTrimmedLeft (authorCaptionWidth), juce::Justification::left, true);

    g.drawFittedText (description, descriptionBounds, juce::Justification::topLeft, 100, 0.7f);
}
