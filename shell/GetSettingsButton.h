#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The download arrow of a device box: reads the settings back from the
// connected amplifier. Disabled on boxes that lost the selection.
class GetSettingsButton : public juce::Button
{
public:
    GetSettingsButton();

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GetSettingsButton)
};
