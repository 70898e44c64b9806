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

    // Enumerates afresh on every call; nothing is cached between calls. Called from any thread: the
    // link's timer and a transfer in progress may ask at the same time.
    virtual juce::StringArray getMediaDeviceInstanceIds() = 0;
};
