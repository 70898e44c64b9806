#include "link/UsbPresenceScan.h"

bool parseUsbInstanceId (const juce::String& instanceId, UsbDeviceId& result)
{
    juce::StringArray tokens;
    tokens.addTokens (instanceId, "\\#&", {});

    juce::String vendorToken, productToken;
    for (const auto& token : tokens)
    {
        if (token.startsWith ("VID_"))
            vendorToken = token;
        else if (token.startsWith ("PID_"))
            productToken = token;
    }

    if (vendorToken != "VID_1E7A" || productToken.length() != 8)
        return false;

    const auto digits = productToken.substring (4);
    if (!digits.containsOnly ("0123456789abcdefABCDEF"))
        return false;

    result.vendorId = amplifierVendorId;
    result.productId = (juce::uint16)digits.getHexValue32();
    return true;
}

void scanUsbDevices (UsbDeviceEnumerator& enumerator, juce::Array<UsbDeviceId>& presentDevices)
{
    presentDevices.clearQuick();

    for (const auto& instanceId : enumerator.getMediaDeviceInstanceIds())
    {
        UsbDeviceId id;
        if (parseUsbInstanceId (instanceId, id))
            presentDevices.add (id);
    }
}

bool isUsbDevicePresent (const juce::Array<UsbDeviceId>& presentDevices, juce::uint16 productId)
{
    for (const auto& device : presentDevices)
        if (device.vendorId == amplifierVendorId && device.productId == productId)
            return true;

    return false;
}
