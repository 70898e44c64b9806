#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// The busy spinner of a device box: twelve dots in a ring whose brightness
// runs round while a synchronisation pass is pending.
class SyncAnim : public juce::Component, private juce::Timer
{
public:
    static constexpr int numDots = 12;
    static constexpr int stepIntervalMs = 100;

    explicit SyncAnim (juce::Colour colour);
    ~SyncAnim() override;

    void setAnimating (bool shouldAnimate);
    bool isAnimating() const { return animating; }

    // The dot's brightness, 0.25 for the dimmest to 1.0 for the brightest.
    float getDotAlpha (int dot) const { return alphas[(size_t)dot]; }
    juce::Rectangle<float> getDotBounds (int dot) const { return dots[(size_t)dot]; }

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    void timerCallback() override;

    bool animating = false;
    juce::Colour colour;
    std::array<juce::Rectangle<float>, numDots> dots;
    std::array<float, numDots> alphas{};
    int head = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SyncAnim)
};
