#include "platform/SysfsUsbDeviceEnumerator.h"
#include <gtest/gtest.h>

namespace
{
// A folder shaped like /sys/bus/usb/devices, removed at the end.
class SysfsTree
{
public:
    SysfsTree() { root.createDirectory(); }
    ~SysfsTree() { root.deleteRecursively(); }

    void addDevice (const juce::String& name, const juce::String& vendor, const juce::String& product,
                    const juce::String& deviceClass = "00")
    {
        auto folder = root.getChildFile (name);
        folder.createDirectory();
        folder.getChildFile ("idVendor").replaceWithText (vendor + "\n");
        folder.getChildFile ("idProduct").replaceWithText (product + "\n");
        folder.getChildFile ("bDeviceClass").replaceWithText (deviceClass + "\n");
    }

    void addInterface (const juce::String& name, const juce::String& interfaceClass)
    {
        auto folder = root.getChildFile (name);
        folder.createDirectory();
        folder.getChildFile ("bInterfaceClass").replaceWithText (interfaceClass + "\n");
    }

    juce::File root{ juce::File::createTempFile ("sysfs") };
};
} // namespace

TEST (SysfsUsbDeviceEnumerator, ListsDevicesWithAnAudioInterface)
{
    SysfsTree tree;
    tree.addDevice ("1-4", "1e7a", "4003"); // an amplifier: audio control and MIDI streaming
    tree.addInterface ("1-4:1.0", "01");
    tree.addInterface ("1-4:1.1", "01");
    tree.addDevice ("1-1", "046d", "c52b"); // a keyboard receiver: HID only
    tree.addInterface ("1-1:1.0", "03");
    tree.addDevice ("2-1.3", "0d8c", "0014"); // a headset: HID and audio
    tree.addInterface ("2-1.3:1.0", "03");
    tree.addInterface ("2-1.3:1.1", "01");
    tree.addDevice ("3-2", "1E7A", "4016", "01");  // audio class on the device itself
    tree.addDevice ("usb1", "1d6b", "0002", "09"); // a root hub
    tree.addInterface ("1-9:1.0", "01");           // an interface whose device folder is missing
    tree.root.getChildFile ("stray-file").replaceWithText ("x");

    SysfsUsbDeviceEnumerator enumerator (tree.root);
    EXPECT_EQ (enumerator.getMediaDeviceInstanceIds(),
               (juce::StringArray{ "USB\\VID_1E7A&PID_4003\\1-4", "USB\\VID_0D8C&PID_0014\\2-1.3",
                                   "USB\\VID_1E7A&PID_4016\\3-2" }));

    // Unplugging removes the folders; the next call sees it.
    tree.root.getChildFile ("1-4").deleteRecursively();
    tree.root.getChildFile ("1-4:1.0").deleteRecursively();
    tree.root.getChildFile ("1-4:1.1").deleteRecursively();
    EXPECT_EQ (enumerator.getMediaDeviceInstanceIds(),
               (juce::StringArray{ "USB\\VID_0D8C&PID_0014\\2-1.3", "USB\\VID_1E7A&PID_4016\\3-2" }));
}

TEST (SysfsUsbDeviceEnumerator, SkipsUnreadableDevicesAndMissingRoots)
{
    SysfsTree tree;
    tree.addDevice ("1-2", "1e7a", "40031", "01"); // product id of five digits
    tree.addDevice ("1-3", "zz7a", "4003", "01");
    tree.addDevice ("1-5", "1e7a", "4005", "xx"); // no readable class, no interfaces
    auto noIds = tree.root.getChildFile ("1-6");
    noIds.createDirectory();
    noIds.getChildFile ("bDeviceClass").replaceWithText ("01");

    SysfsUsbDeviceEnumerator enumerator (tree.root);
    EXPECT_TRUE (enumerator.getMediaDeviceInstanceIds().isEmpty());

    SysfsUsbDeviceEnumerator missing (tree.root.getChildFile ("nowhere"));
    EXPECT_TRUE (missing.getMediaDeviceInstanceIds().isEmpty());
}
