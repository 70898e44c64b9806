#include "platform/SysfsUsbDeviceEnumerator.h"

namespace
{
constexpr int audioClass = 0x01;

// sysfs attributes are one short line of text (their reported size is a page, not the text's);
// read a little and ignore the rest. Anything unreadable counts as missing.
juce::String readAttribute (const juce::File& folder, const char* name)
{
    juce::FileInputStream stream (folder.getChildFile (name));
    if (!stream.openedOk())
        return {};

    char text[65] = {};
    const auto numRead = stream.read (text, 64);
    if (numRead <= 0)
        return {};
    return juce::String::fromUTF8 (text, numRead).trim();
}

bool isHexWord (const juce::String& text)
{
    return text.length() == 4 && text.containsOnly ("0123456789abcdefABCDEF");
}

int readClass (const juce::File& folder, const char* name)
{
    auto text = readAttribute (folder, name);
    if (text.isEmpty() || !text.containsOnly ("0123456789abcdefABCDEF"))
        return -1;
    return text.getHexValue32();
}

bool hasAudioInterface (const juce::File& root, const juce::String& deviceName)
{
    // Interface folders sit beside the device folder and are named "<device>:<config>.<interface>".
    for (const auto& entry :
         juce::RangedDirectoryIterator (root, false, deviceName + ":*", juce::File::findDirectories))
        if (readClass (entry.getFile(), "bInterfaceClass") == audioClass)
            return true;

    return false;
}
} // namespace

SysfsUsbDeviceEnumerator::SysfsUsbDeviceEnumerator (const juce::File& devicesRoot) : root (devicesRoot) {}

juce::StringArray SysfsUsbDeviceEnumerator::getMediaDeviceInstanceIds()
{
    juce::StringArray ids;
    if (!root.isDirectory())
        return ids;

    juce::Array<juce::File> devices;
    for (const auto& entry : juce::RangedDirectoryIterator (root, false, "*", juce::File::findDirectories))
        if (!entry.getFile().getFileName().containsChar (':'))
            devices.add (entry.getFile());

    // Directory order is arbitrary; sort so that the scan's order does not change between calls.
    devices.sort();

    for (const auto& device : devices)
    {
        auto vendor = readAttribute (device, "idVendor");
        auto product = readAttribute (device, "idProduct");
        if (!isHexWord (vendor) || !isHexWord (product))
            continue; // root hubs' siblings such as "usb1" have them; other folders do not

        const auto name = device.getFileName();
        if (readClass (device, "bDeviceClass") != audioClass && !hasAudioInterface (root, name))
            continue;

        ids.add ("USB\\VID_" + vendor.toUpperCase() + "&PID_" + product.toUpperCase() + "\\" + name);
    }

    return ids;
}
