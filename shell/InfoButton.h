#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The "i" in the corner of the device diagram: toggles the description panel
// and stays highlighted while the panel is shown.
class InfoButton : public juce::Button
{
public:
    InfoButton();

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InfoButton)
};
