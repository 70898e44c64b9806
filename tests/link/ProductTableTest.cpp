#include "LinkTestSupport.h"
#include "resources/FirmwareImageData.h"

namespace
{
struct ExpectedRow
{
    const char* name;
    juce::uint16 appPid, bootPid;
    juce::uint8 modelId;
    const char* portName;
    const char* imageName;
    int imageBytes;
};

const ExpectedRow expectedRows[] = {
    { "Zelta 240/2M", 0x4003, 0x4002, 119, "Zelta 240/2M", "Zelta240_2M", 286939 },
    { "Zelta 120/2M", 0x4005, 0x4004, 4, "Zelta 120/2M", "Zelta120_2M", 286939 },
    { "Zelta 240/2", 0x4007, 0x4006, 5, "Zelta 240/2", "Zelta240_2", 286939 },
    { "Zelta 120/2", 0x4009, 0x4008, 6, "Zelta 120/2", "Zelta120_2", 286939 },
    { "Zelta 240/1-70", 0x4011, 0x4010, 18, "Zelta 240/1", "Zelta240_1", 289934 },
    { "Zelta 120/1-70", 0x4013, 0x4012, 19, "Zelta 120/1", "Zelta120_1", 289934 },
    { "Zelta 60/1-70", 0x4019, 0x4018, 30, "Zelta 60/1", "Zelta60_1", 289934 },
    { "Zelta 60/2", 0x4017, 0x4016, 31, "Zelta 60/2", "Zelta60_2", 287538 },
    { "Zelta 60/2M", 0x4015, 0x4014, 32, "Zelta 60/2M", "Zelta60_2M", 287538 },
};

std::vector<juce::uint8> bytesOf (const juce::MidiMessage& message)
{
    return std::vector<juce::uint8> (message.getRawData(), message.getRawData() + message.getRawDataSize());
}
} // namespace

TEST (FirmwareImage, StreamsMessageByMessage)
{
    const auto bytes = buildFirmwareImage (119, 3);
    ASSERT_EQ (bytes.size(), 3u * 599 + 18);

    FirmwareImage image ("Zelta240_2M", "1.3.0", 924);
    image.setData (bytes.data(), (int)bytes.size());
    EXPECT_FALSE (image.isAtEnd());

    const auto start = image.rewind();
    EXPECT_EQ (bytesOf (start), std::vector<juce::uint8> (bytes.begin(), bytes.begin() + 9));
    EXPECT_EQ (start.getTimeStamp(), 0.0);
    EXPECT_EQ (image.getPercentStreamed(), 9 * 100 / (int)bytes.size());

    std::vector<juce::uint8> streamed (bytesOf (start));
    int messages = 1;
    while (!image.isAtEnd())
    {
        const auto message = bytesOf (image.getNextMessage());
        ASSERT_EQ (message.front(), 0xf0);
        ASSERT_EQ (message.back(), 0xf7);
        streamed.insert (streamed.end(), message.begin(), message.end());
        ++messages;
        ASSERT_LE (messages, 5);
    }

    EXPECT_EQ (messages, 5);
    EXPECT_EQ (streamed, bytes);
    EXPECT_EQ (image.getPercentStreamed(), 100);

    // Rewinding starts over.
    EXPECT_EQ (bytesOf (image.rewind()), std::vector<juce::uint8> (bytes.begin(), bytes.begin() + 9));
    EXPECT_EQ (image.getReadPosition(), 9);
}

TEST (FirmwareImage, ImageWithoutFinalEndByteStopsAtItsEnd)
{
    const std::vector<juce::uint8> bytes{ 0xf0, 0x01, 0xf7, 0xf0, 0x02, 0x03 };
    FirmwareImage image ("x", "1", 1);
    image.setData (bytes.data(), (int)bytes.size());

    EXPECT_EQ (bytesOf (image.rewind()), (std::vector<juce::uint8>{ 0xf0, 0x01, 0xf7 }));
    EXPECT_EQ (bytesOf (image.getNextMessage()), (std::vector<juce::uint8>{ 0xf0, 0x02, 0x03 }));
    EXPECT_TRUE (image.isAtEnd());
    EXPECT_EQ (image.getPercentStreamed(), 100);
}

TEST (FirmwareImage, TheDefaultImageIsEmpty)
{
    FirmwareImage image;
    EXPECT_EQ (image.getName(), "N/A");
    EXPECT_EQ (image.getVersion(), "0");
    EXPECT_EQ (image.getRevision(), 0);
    EXPECT_TRUE (image.isAtEnd());
    EXPECT_EQ (image.getPercentStreamed(), 0);

    const ProductInfo product;
    EXPECT_EQ (product.getFirmwareImage().getName(), "N/A");
    EXPECT_EQ (product.getModelId(), 0);
    EXPECT_TRUE (product.getName().isEmpty());
}

TEST (ProductTable, NineModelsInSearchOrder)
{
    juce::ScopedJuceInitialiser_GUI juce;
    AmplifierEmulator emulator (zelta240_2M(), AmplifierEmulator::Mode::unplugged);
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts());

    const auto& products = link.getProductList();
    ASSERT_EQ (products.size(), 9);
    EXPECT_EQ (products.getProduct (9), nullptr);

    for (int i = 0; i < 9; ++i)
    {
        const auto& expected = expectedRows[i];
        const auto* product = products.getProduct (i);
        SCOPED_TRACE (expected.name);
        EXPECT_EQ (product->getName(), expected.name);
        EXPECT_EQ (product->getAppProductId(), expected.appPid);
        EXPECT_EQ (product->getBootProductId(), expected.bootPid);
        EXPECT_EQ (product->getAppProductId(), product->getBootProductId() + 1);
        EXPECT_EQ (product->getModelId(), expected.modelId);
        EXPECT_EQ (product->getMidiPortName(), expected.portName);
        EXPECT_EQ (product->getBootMidiPortName(), juce::String (expected.portName) + " Boot");
        EXPECT_EQ (product->getFirmwareImage().getName(), expected.imageName);
        EXPECT_EQ (product->getFirmwareImage().getVersion(), "1.3.0");
        EXPECT_EQ (product->getFirmwareImage().getRevision(), 924);
    }

    EXPECT_EQ (products.getProduct (4)->getPlatform(), "Pemrod");
    EXPECT_EQ (products.getProduct (8)->getPlatform(), "Tillow");
}

// The images the program carries must be what the boot loader takes: start, N data messages, end,
// seven-bit bytes, the row's model byte.
TEST (ProductTable, EmbeddedImagesHaveTheBootLoadersStructure)
{
    for (const auto& row : expectedRows)
    {
        SCOPED_TRACE (row.imageName);
        const auto data = getFirmwareImageData (row.imageName);
        if (data.data == nullptr)
            GTEST_SKIP() << "the firmware images are not embedded in this build";

        ASSERT_EQ (data.size, row.imageBytes);
        const int dataMessages = (row.imageBytes - 18) / 599;

        FirmwareImage image (row.imageName, "1.3.0", 924);
        image.setData (data.data, data.size);
        auto message = bytesOf (image.rewind());
        int count = 1;
        int dataCount = 0;
        while (true)
        {
            ASSERT_GE (message.size(), 9u);
            EXPECT_EQ (std::vector<juce::uint8> (message.begin(), message.begin() + 5),
                       (std::vector<juce::uint8>{ 0xf0, 0x00, 0x3a, 0x5c, 0x00 }));
            EXPECT_EQ (message[5], row.modelId);
            for (size_t i = 1; i + 1 < message.size(); ++i)
                ASSERT_LT (message[i], 0x80);
            if (message.size() == 599)
                ++dataCount;
            if (image.isAtEnd())
                break;
            message = bytesOf (image.getNextMessage());
            ++count;
        }

        EXPECT_EQ (count, dataMessages + 2);
        EXPECT_EQ (dataCount, dataMessages);
        EXPECT_EQ (image.getPercentStreamed(), 100);
    }
}

// The program's link reads the operating system's USB devices and MIDI ports; the first holder
// creates it and the last one deletes it.
TEST (ProductTable, TheSharedLinkIsCreatedOnceWithTheFullTable)
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::SharedResourcePointer<VantorelCom> first;
    {
        juce::SharedResourcePointer<VantorelCom> second;
        EXPECT_EQ (&first.get(), &second.get());
        EXPECT_EQ (first.getReferenceCount(), 2);
    }
    EXPECT_EQ (first.getReferenceCount(), 1);
    EXPECT_EQ (first->getProductList().size(), 9);
    EXPECT_EQ (first->getLinkState(), BaseCom::idle);
}
