#include "shell/WindowContentConstrainer.h"

WindowContentConstrainer::WindowContentConstrainer (int minWidth, int minHeight, int maxWidth, int maxHeight)
    : minContent (minWidth, minHeight), maxContent (maxWidth, maxHeight)
{
    setBorders ({}, {});
}

void WindowContentConstrainer::setBorders (const juce::BorderSize<int>& contentBorder,
                                           const juce::BorderSize<int>& frame)
{
    const int windowWidth = contentBorder.getLeftAndRight(), windowHeight = contentBorder.getTopAndBottom();
    windowLimits.setSizeLimits (minContent.getWidth() + windowWidth, minContent.getHeight() + windowHeight,
                                maxContent.getWidth() + windowWidth, maxContent.getHeight() + windowHeight);

    const int outerWidth = windowWidth + frame.getLeftAndRight();
    const int outerHeight = windowHeight + frame.getTopAndBottom();
    setSizeLimits (minContent.getWidth() + outerWidth, minContent.getHeight() + outerHeight,
                   maxContent.getWidth() + outerWidth, maxContent.getHeight() + outerHeight);
}

juce::Rectangle<int> WindowContentConstrainer::constrainWindowBounds (juce::Rectangle<int> bounds) const
{
    return bounds.withSize (
        juce::jlimit (windowLimits.getMinimumWidth(), windowLimits.getMaximumWidth(), bounds.getWidth()),
        juce::jlimit (windowLimits.getMinimumHeight(), windowLimits.getMaximumHeight(), bounds.getHeight()));
}

void WindowContentConstrainer::checkBounds (juce::Rectangle<int>& bounds,
                                            const juce::Rectangle<int>& previousBounds,
                                            const juce::Rectangle<int>& limits, bool isStretchingTop,
                                            bool isStretchingLeft, bool isStretchingBottom,
                                            bool isStretchingRight)
{
    windowLimits.setMinimumOnscreenAmounts (getMinimumWhenOffTheTop(), getMinimumWhenOffTheLeft(),
                                            getMinimumWhenOffTheBottom(), getMinimumWhenOffTheRight());
    windowLimits.checkBounds (bounds, previousBounds, limits, isStretchingTop, isStretchingLeft,
                              isStretchingBottom, isStretchingRight);
}
