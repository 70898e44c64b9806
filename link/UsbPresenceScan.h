#pragma once

#include "platform/UsbDeviceEnumerator.h"

// The present-device scan: which of the maker's USB devices are plugged in, read from the
// operating system's instance identifier texts (USB\VID_1E7A&PID_4003\...).

struct UsbDeviceId
{
    juce::uint16 vendorId = 0;
    juce::uint16 productId = 0;
};

// The USB vendor id of every amplifier.
constexpr juce::uint16 amplifierVendorId = 0x1E7A;

// Splits the identifier at '\', '#' and '&'; the last token beginning with "VID_" is the vendor
// token, the last beginning with "PID_" the product token. True, with the ids, when the vendor
// token is exactly "VID_1E7A" and the product token is "PID_" and four hexadecimal digits.
bool parseUsbInstanceId (const juce::String& instanceId, UsbDeviceId& result);

// Rebuilds the list of present devices from scratch.
void scanUsbDevices (UsbDeviceEnumerator& enumerator, juce::Array<UsbDeviceId>& presentDevices);

// True when the list holds the maker's vendor id with this product id. Does not scan.
bool isUsbDevicePresent (const juce::Array<UsbDeviceId>& presentDevices, juce::uint16 productId);
