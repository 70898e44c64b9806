#pragma once

#include <juce_core/juce_core.h>

// The operating system's view of present USB devices, as the device link's presence scan needs it:
// one instance identifier text per present USB device of the media (audio) class, in the form
// USB\VID_xxxx&PID_xxxx\<instance>. The link reads vendor and product out of these texts itself.
// The program uses SysfsUsbDeviceEnumerator; tests put an emulated amplifier behind this.
class UsbDeviceEnumerator
{
public:
    virtual ~UsbDeviceEnumerator() = default;

    // Enumerates afresh on every call; nothing is cached between calls.
    virtual juce::StringArray getMediaDeviceInstanceIds() = 0;
};
