#include "shell/SyncAnim.h"

SyncAnim::SyncAnim (juce::Colour dotColour) : colour (dotColour)
{
    timerCallback();
}

SyncAnim::~SyncAnim()
{
    stopTimer();
}

void SyncAnim::setAnimating (bool shouldAnimate)
{
    if (shouldAnimate)
    {
        startTimer (stepIntervalMs);
        animating = true;
        timerCallback();
    }
    else
    {
        stopTimer();
        animating = false;
        repaint();
    }
}

void SyncAnim::timerCallback()
{
    // The dot at the head is the dimmest; the one just behind it the brightest,
    // so the bright end seems to chase round the ring.
    for (int k = 0; k < numDots; ++k)
        alphas[(size_t)((head + k) % numDots)] = juce::jmin (0.25f + (float)k / (float)numDots, 1.0f);

    head = (head + 1) % numDots;
    repaint();
}

void SyncAnim::resized()
{
    // The ring is laid out on the height alone, so a wider component keeps round dots.
    const auto h = (float)getHeight();
    const auto dotSize = h * 0.125f;
    const auto radius = h * 0.5f - dotSize;

    for (int k = 0; k < numDots; ++k)
    {
        const auto angle = (float)k * juce::MathConstants<float>::pi / 6.0f;
        dots[(size_t)k] = { h / 2.0f + radius * std::cos (angle) - dotSize / 2.0f,
                            h / 2.0f + radius * std::sin (angle) - dotSize / 2.0f, dotSize, dotSize };
    }
}

void SyncAnim::paint (juce::Graphics& g)
{
    if (!animating)
        return;

    for (int k = 0; k < numDots; ++k)
    {
        g.setColour (colour.withAlpha (alphas[(size_t)k]));
        g.fillEllipse (dots[(size_t)k]);
    }
}
