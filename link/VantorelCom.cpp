#include "link/VantorelCom.h"
#include "platform/JuceMidiPortProvider.h"
#include "platform/SysfsUsbDeviceEnumerator.h"
#include "resources/FirmwareImageData.h"

namespace
{
struct ProductRow
{
    const char* name;
    const char* platform;
    juce::uint16 appProductId;
    juce::uint16 bootProductId;
    juce::uint8 modelId;
    const char* portName;
    const char* bootPortName;
    const char* imageName;
};

// Search order: the first row whose product id is present wins.
const ProductRow productRows[] = {
    { "Zelta 240/2M", "Quob", 0x4003, 0x4002, 119, "Zelta 240/2M", "Zelta 240/2M Boot", "Zelta240_2M" },
    { "Zelta 120/2M", "Quob", 0x4005, 0x4004, 4, "Zelta 120/2M", "Zelta 120/2M Boot", "Zelta120_2M" },
    { "Zelta 240/2", "Quob", 0x4007, 0x4006, 5, "Zelta 240/2", "Zelta 240/2 Boot", "Zelta240_2" },
    { "Zelta 120/2", "Quob", 0x4009, 0x4008, 6, "Zelta 120/2", "Zelta 120/2 Boot", "Zelta120_2" },
    { "Zelta 240/1-70", "Pemrod", 0x4011, 0x4010, 18, "Zelta 240/1", "Zelta 240/1 Boot", "Zelta240_1" },
    { "Zelta 120/1-70", "Pemrod", 0x4013, 0x4012, 19, "Zelta 120/1", "Zelta 120/1 Boot", "Zelta120_1" },
    { "Zelta 60/1-70", "Tillow", 0x4019, 0x4018, 30, "Zelta 60/1", "Zelta 60/1 Boot", "Zelta60_1" },
    { "Zelta 60/2", "Tillow", 0x4017, 0x4016, 31, "Zelta 60/2", "Zelta 60/2 Boot", "Zelta60_2" },
    { "Zelta 60/2M", "Tillow", 0x4015, 0x4014, 32, "Zelta 60/2M", "Zelta 60/2M Boot", "Zelta60_2M" },
};

// Model ids of the three device families: "ZELTA" (the /2 models), "ZELTA M" (/2M), "ZELTA 70" (/1-70).
const juce::uint8 familyModels[3][3] = { { 31, 6, 5 }, { 32, 4, 119 }, { 30, 19, 18 } };
} // namespace

VantorelCom::VantorelCom()
    : VantorelCom (std::make_unique<SysfsUsbDeviceEnumerator>(), std::make_unique<JuceMidiPortProvider>())
{
}

VantorelCom::VantorelCom (std::unique_ptr<UsbDeviceEnumerator> usbDevices,
                          std::unique_ptr<MidiPortProvider> midiPorts, const LinkTiming& linkTiming)
    : QuobCom (std::move (usbDevices), std::move (midiPorts), linkTiming)
{
    buildProductTable();

    for (const auto command : { revisionReply, serialReply, applicationFrames, settingsFrames })
        acceptedReplies.add (command);
}

VantorelCom::~VantorelCom()
{
    closePorts();
}

void VantorelCom::buildProductTable()
{
    for (const auto& row : productRows)
    {
        FirmwareImage image (row.imageName, firmwareVersion, firmwareRevision);
        const auto data = getFirmwareImageData (row.imageName);
        image.setData (data.data, data.size);
        images.add (image);
    }

    for (int i = 0; i < (int)std::size (productRows); ++i)
    {
        const auto& row = productRows[i];
        products.addCopy (ProductInfo (row.name, row.platform, row.appProductId, row.bootProductId,
                                       row.modelId, row.portName, row.bootPortName, images.getReference (i)));
    }
}

juce::uint32 VantorelCom::readWord (juce::uint8 command, juce::uint8 replyCommand, bool mostSignificantFirst,
                                    bool* linkBusy)
{
    if (linkBusy != nullptr)
        *linkBusy = false;

    // Never waits for another thread's operation (a block transfer takes seconds): the word is
    // unknown for now, and the caller asks again later.
    const juce::ScopedTryLock operation (getOperationLock());
    if (!operation.isLocked())
    {
        if (linkBusy != nullptr)
            *linkBusy = true;
        return 0;
    }

    if (getLinkState() != connected)
        return 0;

    for (int attempt = 0; attempt < 4 && !juce::Thread::currentThreadShouldExit(); ++attempt)
    {
        juce::uint8 reply[4] = {};
        int length = 0;
        // A reply of fewer than four bytes does not hold the word: ask again.
        if (!request (command, replyCommand, reply, length, (int)sizeof (reply)) || length != 4)
            continue;

        return mostSignificantFirst ? juce::ByteOrder::bigEndianInt (reply)
                                    : juce::ByteOrder::littleEndianInt (reply);
    }

    return 0;
}

juce::uint32 VantorelCom::readFirmwareRevision (bool* linkBusy)
{
    return readWord (readRevisionCommand, revisionReply, false, linkBusy);
}

juce::uint32 VantorelCom::readSerialNumber (bool* linkBusy)
{
    return readWord (readSerialCommand, serialReply, true, linkBusy);
}

juce::uint32 VantorelCom::cachedWord (std::atomic<juce::uint32>& cache, juce::uint8 command,
                                      juce::uint8 replyCommand, bool mostSignificantFirst, bool* linkBusy)
{
    if (linkBusy != nullptr)
        *linkBusy = false;

    if (getLinkState() != connected)
        return 0;

    if (cache.load() == 0)
        cache = readWord (command, replyCommand, mostSignificantFirst, linkBusy);
    return cache.load();
}

juce::uint32 VantorelCom::getFirmwareRevision (bool* linkBusy)
{
    return cachedWord (cachedRevision, readRevisionCommand, revisionReply, false, linkBusy);
}

juce::uint32 VantorelCom::getSerialNumber (bool* linkBusy)
{
    return cachedWord (cachedSerialNumber, readSerialCommand, serialReply, true, linkBusy);
}

int VantorelCom::compareFirmware()
{
    if (getLinkState() != connected)
        return 0;

    const auto deviceRevision = getFirmwareRevision();
    const auto* product = getCurrentProduct();
    if (product == nullptr)
        return 0; // unplugged meanwhile

    const auto imageRevision = (juce::uint32)product->getFirmwareImage().getRevision();
    if (deviceRevision > imageRevision)
        return 1;
    return deviceRevision == imageRevision ? 0 : -1;
}

bool VantorelCom::isFamily (int family) const
{
    if (getLinkState() != connected || family < 0 || family > 2)
        return false;

    const auto model = getModelId();
    for (const auto member : familyModels[family])
        if (member == model)
            return true;

    return false;
}

void VantorelCom::clearCaches()
{
    cachedRevision = 0;
    cachedSerialNumber = 0;
}

void VantorelCom::appModeConnected()
{
    clearCaches();
}

void VantorelCom::appModeDisconnected()
{
    clearCaches();
}
