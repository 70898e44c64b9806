#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The padlock toggle of a device box: on means the settings are programmed
// with a password. Only the colours tell on from off.
class PasswordButton : public juce::ToggleButton
{
public:
    PasswordButton();

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PasswordButton)
};
