#include "updates/PageIndicator.h"

#include <gtest/gtest.h>

namespace
{
const juce::Colour base (211, 211, 211), highlight (0xff0171f1);

// Opaque-enough pixels of the colour in the cell's inner square, where only the page number is drawn.
int numberPixels (const juce::Image& image, int page, juce::Colour colour)
{
    int count = 0;
    for (int y = 5; y < 15; ++y)
        for (int x = 40 * page + 5; x < 40 * page + 15; ++x)
        {
            const auto pixel = image.getPixelAt (x, y);
            count += pixel.getAlpha() > 128 && std::abs (pixel.getBlue() - colour.getBlue()) < 20 &&
                             std::abs (pixel.getRed() - colour.getRed()) < 20
                         ? 1
                         : 0;
        }
    return count;
}

// The colour of the circle's left edge at mid height.
juce::Colour ring (const juce::Image& image, int page)
{
    return image.getPixelAt (40 * page + 1, 10).withAlpha (1.0f);
}
} // namespace

TEST (PageIndicator, MarksOnlyTheCurrentPageAndMovesWithIt)
{
    PageIndicator indicator (5, base, highlight);
    ASSERT_EQ (indicator.getImage().getWidth(), 180);
    ASSERT_EQ (indicator.getImage().getHeight(), 20);

    for (int page : { 0, 3, 4 })
    {
        indicator.setPage (page);
        const auto& image = indicator.getImage();

        for (int i = 0; i < 5; ++i)
        {
            const auto expected = i == page ? highlight : base;
            EXPECT_LT (std::abs (ring (image, i).getBlue() - expected.getBlue()), 40)
                << "page " << page << " ring " << i;
            EXPECT_LT (std::abs (ring (image, i).getRed() - expected.getRed()), 40)
                << "page " << page << " ring " << i;
            EXPECT_EQ (numberPixels (image, i, highlight) > 0, i == page)
                << "page " << page << " number " << i;
        }

        // The joining line between circles 1 and 2 is in the base colour.
        EXPECT_GT (image.getPixelAt (30, 10).getAlpha(), 128);
    }
}
