#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The plus under the device diagram: adds a device.
class AddButton : public juce::Button
{
public:
    AddButton();

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AddButton)
};
