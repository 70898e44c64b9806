#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program's push button: a rounded, softly shaded body in the button's
// TextButton::buttonColourId colour with its text centred on it. Everything but
// the drawing is the framework button's.
class iosButton : public juce::Button
{
public:
    // The name is also the text shown.
    explicit iosButton (const juce::String& name);

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (iosButton)
};
