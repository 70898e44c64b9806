#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <optional>

class DiagramDevice;

// The windows of the device roads that wait for the user: the password windows and the
// "Programming Done" dialog. The program shows the real windows (WindowDevicePrompts); tests
// answer through their own implementation.
class DevicePrompts
{
public:
    virtual ~DevicePrompts() = default;

    // The main window's "Choose password" window, before programming with the padlock on. The
    // typed password, or nothing when the user left the window with Escape.
    virtual std::optional<juce::String> choosePassword() = 0;

    // The box's "Enter password" window, before taking over settings that carry a password.
    // The typed password, or nothing when the user left the window with Escape.
    virtual std::optional<juce::String> enterPassword (DiagramDevice& box) = 0;

    // The "Programming Done" dialog; true when it was left with OK and "Enable Synchronization" on.
    virtual bool confirmProgrammingDone() = 0;
};
