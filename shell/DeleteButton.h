#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The cross under the device diagram: deletes the selected device. It turns
// dark red under the mouse as a warning.
class DeleteButton : public juce::Button
{
public:
    DeleteButton();

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DeleteButton)
};
