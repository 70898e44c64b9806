#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Size limits of a top-level window, given for its content. The framework hands a window's size
// limits to the window manager as the size of the whole window, native frame included, while the
// window's own bounds leave that frame out: limits meant for the content, set on the window, let
// the content shrink by the size of the frame. This constrainer gives the window manager the
// content limits with the frame and the window's border added, and checks the window's own
// bounds against the content limits with the border added.
class WindowContentConstrainer : public juce::ComponentBoundsConstrainer
{
public:
    WindowContentConstrainer (int minWidth, int minHeight, int maxWidth, int maxHeight);

    // contentBorder: between the window's bounds and its content (a title bar and edges of its
    // own); frame: the native frame around the window's bounds.
    void setBorders (const juce::BorderSize<int>& contentBorder, const juce::BorderSize<int>& frame);

    // The bounds with the window's size brought within the limits; the top-left corner stays.
    juce::Rectangle<int> constrainWindowBounds (juce::Rectangle<int> bounds) const;

    void checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previousBounds,
                      const juce::Rectangle<int>& limits, bool isStretchingTop, bool isStretchingLeft,
                      bool isStretchingBottom, bool isStretchingRight) override;

private:
    const juce::Rectangle<int> minContent, maxContent;
    // The limits of the window's own bounds: the content's with the border.
    juce::ComponentBoundsConstrainer windowLimits;

    JUCE_DECLARE_NON_COPYABLE (WindowContentConstrainer)
};
