#pragma once

#include "shell/DevicePrompts.h"

#include <functional>

// The real windows of the device roads: the main window's "Choose password" window (shown by the
// function its owner gives), the box's own "Enter password" window, and the "Programming Done"
// dialog. Each runs modally on the message thread.
class WindowDevicePrompts : public DevicePrompts
{
public:
    using ChoosePassword = std::function<std::optional<juce::String>()>;

    explicit WindowDevicePrompts (ChoosePassword choosePasswordInMainWindow);

    std::optional<juce::String> choosePassword() override;
    std::optional<juce::String> enterPassword (DiagramDevice& box) override;
    bool confirmProgrammingDone() override;

private:
    const ChoosePassword chooseInMainWindow;

    JUCE_DECLARE_NON_COPYABLE (WindowDevicePrompts)
};
