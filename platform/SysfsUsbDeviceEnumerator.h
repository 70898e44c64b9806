#pragma once

#include "platform/UsbDeviceEnumerator.h"

// Present USB devices of the audio class on Linux, read from sysfs.
//
// The root is the folder of USB devices (normally /sys/bus/usb/devices): one folder per device
// ("1-4") holding idVendor, idProduct and bDeviceClass, and one folder per interface ("1-4:1.0")
// holding bInterfaceClass. A device counts when its own class or the class of any of its
// interfaces is audio (01). Its identifier text is USB\VID_1E7A&PID_4003\<device folder name>,
// with the hexadecimal digits in upper case.
class SysfsUsbDeviceEnumerator : public UsbDeviceEnumerator
{
public:
    static constexpr const char* defaultRoot = "/sys/bus/usb/devices";

    explicit SysfsUsbDeviceEnumerator (const juce::File& devicesRoot = juce::File (defaultRoot));

    juce::StringArray getMediaDeviceInstanceIds() override;

private:
    juce::File root;
};
