#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A row of numbered circles joined by lines, the current page's circle and number in the highlight
// colour: drawn once per page change into an image that the owner draws where it likes.
class PageIndicator
{
public:
    PageIndicator (int numPages, juce::Colour baseColour, juce::Colour highlightColour);

    // Redraws the image when the page changes.
    void setPage (int page);
    int getPage() const { return currentPage; }
    const juce::Image& getImage() const { return image; }

private:
    static constexpr int cellSize = 20;
    static constexpr int pitch = 40;

    const int numPages;
    int currentPage = -1;
    juce::Image image;
    juce::Graphics graphics;
    const juce::Colour base, highlight;
};
