#include "link/UsbPresenceScan.h"
#include <gtest/gtest.h>

namespace
{
class ListedDevices : public UsbDeviceEnumerator
{
public:
    explicit ListedDevices (juce::StringArray instanceIds) : ids (std::move (instanceIds)) {}
    juce::StringArray getMediaDeviceInstanceIds() override { return ids; }
    juce::StringArray ids;
};

bool parses (const juce::String& id, juce::uint16 expectedProduct)
{
    UsbDeviceId result;
    return parseUsbInstanceId (id, result) && result.vendorId == 0x1E7A &&
           result.productId == expectedProduct;
}

bool rejects (const juce::String& id)
{
    UsbDeviceId result;
    return !parseUsbInstanceId (id, result);
}
} // namespace

TEST (UsbPresenceScan, ReadsVendorAndProductTokens)
{
    EXPECT_TRUE (parses ("USB\\VID_1E7A&PID_4003\\5&2A6C&0&1", 0x4003));
    // A composite device's interface carries further tokens, which are ignored.
    EXPECT_TRUE (parses ("USB\\VID_1E7A&PID_4016&MI_00\\7&1A2B3C&0&0000", 0x4016));
    EXPECT_TRUE (parses ("USB#VID_1E7A#PID_401a", 0x401a));
    // A later token of the same kind replaces an earlier one.
    EXPECT_TRUE (parses ("USB\\VID_0000&PID_1111&VID_1E7A&PID_4005", 0x4005));

    EXPECT_TRUE (rejects ("USB\\VID_1E7B&PID_4003\\5&2A6C&0&1"));
    EXPECT_TRUE (rejects ("USB\\VID_1e7a&PID_4003\\x")) << "the vendor token is compared case-sensitively";
    EXPECT_TRUE (rejects ("USB\\VID_1E7AB&PID_4003\\x")) << "the whole vendor token must match";
    EXPECT_TRUE (rejects ("USB\\VID_1E7A&PID_40031\\5&2A6C&0&1")) << "nine-character product token";
    EXPECT_TRUE (rejects ("USB\\VID_1E7A&PID_400\\x"));
    EXPECT_TRUE (rejects ("USB\\VID_1E7A&PID_40G3\\x")) << "not hexadecimal";
    EXPECT_TRUE (rejects ("USB\\VID_1E7A\\x"));
    EXPECT_TRUE (rejects (""));
}

TEST (UsbPresenceScan, EachScanRebuildsTheList)
{
    ListedDevices devices (
        { "USB\\VID_0D8C&PID_0014\\1", "USB\\VID_1E7A&PID_4003\\2", "USB\\VID_1E7A&PID_4016\\3" });
    juce::Array<UsbDeviceId> present;

    scanUsbDevices (devices, present);
    ASSERT_EQ (present.size(), 2);
    EXPECT_TRUE (isUsbDevicePresent (present, 0x4003));
    EXPECT_TRUE (isUsbDevicePresent (present, 0x4016));
    EXPECT_FALSE (isUsbDevicePresent (present, 0x0014)) << "another maker's device";

    devices.ids.remove (1);
    EXPECT_TRUE (isUsbDevicePresent (present, 0x4003)) << "presence changes only with a scan";
    scanUsbDevices (devices, present);
    EXPECT_FALSE (isUsbDevicePresent (present, 0x4003));
    EXPECT_EQ (present.size(), 1);

    devices.ids.clear();
    scanUsbDevices (devices, present);
    EXPECT_TRUE (present.isEmpty());
}
