#include "updates/PageIndicator.h"

PageIndicator::PageIndicator (int pages, juce::Colour baseColour, juce::Colour highlightColour)
    : numPages (pages), image (juce::Image::ARGB, juce::jmax (1, pages * pitch - cellSize), cellSize, true),
      graphics (image), base (baseColour), highlight (highlightColour)
{
}

void PageIndicator::setPage (int page)
{
    if (page == currentPage)
        return;

    currentPage = page;
    image.clear (image.getBounds());

    for (int i = 0; i < numPages; ++i)
    {
        const int x = pitch * i;
        const bool current = i == currentPage;

        if (current)
        {
            graphics.setColour (highlight);
            graphics.setFont (16.0f);
            graphics.drawText (juce::String (i + 1), x, 0, cellSize, cellSize, juce::Justification::centred,
                               false);
        }

        graphics.setColour (current ? highlight : base);
        graphics.drawEllipse ((float)(x + 1), 1.0f, 18.0f, 18.0f, 2.0f);

        if (i < numPages - 1)
        {
            graphics.setColour (base);
            graphics.drawLine ((float)(x + cellSize), 10.0f, (float)(pitch * (i + 1)), 10.0f, 2.0f);
        }
    }
}
