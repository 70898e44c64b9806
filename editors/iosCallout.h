#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The look of the GPI page's matrix call-outs: a white bubble with a grey
// border over a soft shadow. The shadow is drawn once into the box's cached
// image and reused by later paints.
class iosCallout : public juce::LookAndFeel_V2
{
public:
    iosCallout() = default;

    void drawCallOutBoxBackground (juce::CallOutBox&, juce::Graphics&, const juce::Path& outline,
                                   juce::Image& cachedImage) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (iosCallout)
};
