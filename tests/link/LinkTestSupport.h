#pragma once

#include "link/VantorelCom.h"
#include "testing/emulator/AmplifierEmulator.h"
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>
#include <vector>

using Fault = AmplifierEmulator::Fault;

// Identities of the product table, as the amplifiers present themselves.
inline AmplifierEmulator::Identity zelta240_2M()
{
    return { "Zelta 240/2M", 0x4003, 0x4002, 119 };
}

inline AmplifierEmulator::Identity zelta60_2()
{
    return { "Zelta 60/2", 0x4017, 0x4016, 31 };
}

inline AmplifierEmulator::Identity zelta120_1()
{
    return { "Zelta 120/1", 0x4013, 0x4012, 19 };
}

// Firmware image bytes as the amplifier's boot loader takes them: a 9-byte start message, data
// messages of 599 bytes (header, model, 0x52, 00, 590 seven-bit bytes, F7), a 9-byte end message.
inline std::vector<juce::uint8> buildFirmwareImage (juce::uint8 modelId, int dataMessages,
                                                    juce::uint32 seed = 1)
{
    std::vector<juce::uint8> image;
    auto message = [&] (juce::uint8 command, juce::uint8 sub, int dataSize)
    {
        for (auto b : { 0xf0, 0x00, 0x3a, 0x5c, 0x00 })
            image.push_back ((juce::uint8)b);
        image.push_back (modelId);
        image.push_back (command);
        image.push_back (sub);
        for (int i = 0; i < dataSize; ++i)
        {
            seed = seed * 1103515245u + 12345u;
            image.push_back ((juce::uint8) ((seed >> 16) & 0x7f));
        }
        image.push_back (0xf7);
    };

    message (0x51, 1, 0);
    for (int i = 0; i < dataMessages; ++i)
        message (0x52, 0, 590);
    message (0x52, 1, 0);
    return image;
}

// Sum of the data bytes of an image's data messages, as the emulator adds them up.
inline juce::uint32 firmwareDataChecksum (const juce::uint8* image, int size)
{
    juce::uint32 sum = 0;
    for (int start = 0; start + 599 <= size;)
    {
        if (image[start + 6] == 0x52 && image[start + 7] == 0 && image[start + 598] == 0xf7)
        {
            for (int i = start + 8; i < start + 598; ++i)
                sum += image[i];
            start += 599;
        }
        else
        {
            start += 9;
        }
    }
    return sum;
}

// A VantorelCom that counts its connection hooks.
class CountingLink : public VantorelCom
{
public:
    using VantorelCom::VantorelCom;
    ~CountingLink() override { closePorts(); }

    int appConnects = 0, appDisconnects = 0, bootConnects = 0, bootDisconnects = 0;

    // Held by a test thread, the link is in use as during another thread's transfer.
    using VantorelCom::getOperationLock;

protected:
    void appModeConnected() override
    {
        ++appConnects;
        VantorelCom::appModeConnected();
    }
    void appModeDisconnected() override
    {
        ++appDisconnects;
        VantorelCom::appModeDisconnected();
    }
    void bootModeConnected() override { ++bootConnects; }
    void bootModeDisconnected() override { ++bootDisconnects; }
};

// Ticks the link's timer by hand until the state is reached; the number of ticks it took, or -1.
template <typename Link> int tickUntilState (Link& link, int state, int maxTicks = 20)
{
    for (int tick = 1; tick <= maxTicks; ++tick)
    {
        link.timerCallback();
        if (link.getLinkState() == state)
            return tick;
    }
    return -1;
}

// An emulated amplifier and a link that sees it, connected in application mode.
class EmulatedLinkTest : public ::testing::Test
{
protected:
    explicit EmulatedLinkTest (const AmplifierEmulator::Identity& identity = zelta240_2M(),
                               const LinkTiming& timing = {})
        : emulator (identity), link (emulator.createUsbDevices(), emulator.createMidiPorts(), timing)
    {
    }

    void connect() { ASSERT_GT (tickUntilState (link, BaseCom::connected), 0) << "the link never connected"; }

    juce::ScopedJuceInitialiser_GUI juce;
    AmplifierEmulator emulator;
    CountingLink link;
};
