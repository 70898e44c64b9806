#include "LinkTestSupport.h"

namespace
{
std::vector<int> walk (BaseCom& link, int ticks)
{
    std::vector<int> states;
    for (int i = 0; i < ticks; ++i)
    {
        link.timerCallback();
        states.push_back (link.getLinkState());
    }
    return states;
}

// The USB devices of several emulated amplifiers at once.
class CombinedUsbDevices : public UsbDeviceEnumerator
{
public:
    void add (std::unique_ptr<UsbDeviceEnumerator> devices) { parts.push_back (std::move (devices)); }

    juce::StringArray getMediaDeviceInstanceIds() override
    {
        juce::StringArray ids;
        for (auto& part : parts)
            ids.addArray (part->getMediaDeviceInstanceIds());
        return ids;
    }

private:
    std::vector<std::unique_ptr<UsbDeviceEnumerator>> parts;
};

// A link that knows one model, carrying a firmware image built by the test, and counts its
// update-mode hooks.
class SingleProductLink : public BaseCom
{
public:
    int bootConnects = 0, bootDisconnects = 0;

    SingleProductLink (AmplifierEmulator& emulator, const AmplifierEmulator::Identity& identity,
                       const std::vector<juce::uint8>& imageBytes)
        : BaseCom (emulator.createUsbDevices(), emulator.createMidiPorts(), {})
    {
        FirmwareImage image ("Test", "1.3.0", 924);
        image.setData (imageBytes.data(), (int)imageBytes.size());
        products.addCopy (ProductInfo ("Test amplifier", "Quob", identity.appProductId,
                                       identity.bootProductId, identity.modelId, identity.portName,
                                       identity.portName + " Boot", image));
        acceptedReplies.add (4);
    }
    ~SingleProductLink() override { closePorts(); }

protected:
    void bootModeConnected() override { ++bootConnects; }
    void bootModeDisconnected() override { ++bootDisconnects; }
};

class ConnectionTest : public EmulatedLinkTest
{
};
} // namespace

TEST_F (ConnectionTest, ReachesConnectedOnTheSixthTick)
{
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.getProductName(), "Unknown");
    EXPECT_EQ (link.getModelId(), 0);

    EXPECT_EQ (walk (link, 6), (std::vector<int>{ 1, 1, 3, 5, 5, 7 }));
    EXPECT_EQ (link.appConnects, 1);
    EXPECT_EQ (link.getProductName(), "Zelta 240/2M");
    EXPECT_EQ (link.getModelId(), 119);
    EXPECT_EQ (link.getTimerInterval(), 200);

    // Connected stays connected while the amplifier is there, without calling the hook again.
    EXPECT_EQ (walk (link, 3), (std::vector<int>{ 7, 7, 7 }));
    EXPECT_EQ (link.appConnects, 1);
    EXPECT_EQ (link.appDisconnects, 0);
}

TEST_F (ConnectionTest, UpdateModeWalkUsesTheBootIdentifierAndPorts)
{
    emulator.plugIn (AmplifierEmulator::Mode::update);
    EXPECT_EQ (walk (link, 6), (std::vector<int>{ 2, 2, 4, 6, 6, 8 }));
    EXPECT_EQ (link.bootConnects, 1);
    EXPECT_EQ (link.appConnects, 0);
    EXPECT_EQ (link.getProductName(), "Zelta 240/2M");

    emulator.unplug();
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.bootDisconnects, 1);
    EXPECT_EQ (link.appDisconnects, 0);
}

TEST_F (ConnectionTest, UnpluggingCallsTheHookOnlyFromAConnectedState)
{
    // Seen, then gone before the ports open: back to idle, no hook.
    link.timerCallback();
    ASSERT_EQ (link.getLinkState(), BaseCom::appIdSeen);
    emulator.unplug();
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.getProductName(), "Unknown");

    // Gone just before its ports are opened: the open fails and the link disconnects.
    emulator.plugIn();
    EXPECT_EQ (walk (link, 3), (std::vector<int>{ 1, 1, 3 }));
    emulator.unplug();
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.appDisconnects + link.bootDisconnects, 0);

    // Connected, then unplugged: one disconnect hook, the ports closed and the product forgotten.
    emulator.plugIn();
    connect();
    EXPECT_TRUE (link.sendCommand (3, nullptr, 0));
    emulator.unplug();
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.appDisconnects, 1);
    EXPECT_EQ (link.getModelId(), 0);
    EXPECT_FALSE (link.sendCommand (3, nullptr, 0)) << "no product, no send";

    link.timerCallback();
    EXPECT_EQ (link.appDisconnects, 1) << "idle ticks call no hook";
    EXPECT_EQ (link.appConnects, 1);
}

TEST_F (ConnectionTest, ReconnectsAfterAReplug)
{
    connect();
    const auto first = link.getConnectionCount();
    EXPECT_TRUE (link.isSameConnection (first));
    emulator.unplug();
    link.timerCallback();
    emulator.plugIn();
    EXPECT_EQ (tickUntilState (link, BaseCom::connected), 6);
    EXPECT_EQ (link.appConnects, 2);
    EXPECT_EQ (link.appDisconnects, 1);
    EXPECT_FALSE (link.isSameConnection (first)) << "connected again, but to another amplifier";
}

TEST_F (ConnectionTest, PortsThatCannotBeFoundDisconnect)
{
    AmplifierEmulator renamed ({ "Zelta 240/2M (renamed)", 0x4003, 0x4002, 119 });
    CountingLink other (renamed.createUsbDevices(), renamed.createMidiPorts());

    for (int round = 0; round < 3; ++round)
        EXPECT_EQ (walk (other, 4), (std::vector<int>{ 1, 1, 3, 0 }));
    EXPECT_EQ (other.appConnects + other.appDisconnects, 0);
}

TEST_F (ConnectionTest, PortFaultsEndInAFreshSearchWithNoPortLeftOpen)
{
    for (const auto fault :
         { Fault::inputMissing, Fault::outputMissing, Fault::inputFailsToOpen, Fault::outputFailsToOpen })
    {
        SCOPED_TRACE ((int)fault);
        emulator.setFault (fault, true);
        EXPECT_EQ (walk (link, 8), (std::vector<int>{ 1, 1, 3, 0, 1, 1, 3, 0 }));
        EXPECT_EQ (emulator.getNumOpenPorts(), 0) << "the port that did open is closed again";
        emulator.setFault (fault, false);
    }
    EXPECT_EQ (link.appConnects + link.appDisconnects, 0);

    // A port that shows up after the USB id: the first open fails, a later one connects.
    for (const auto fault : { Fault::inputLate, Fault::outputLate })
    {
        SCOPED_TRACE ((int)fault);
        emulator.setFault (fault, 6);
        emulator.plugIn();
        EXPECT_EQ (walk (link, 4), (std::vector<int>{ 1, 1, 3, 0 }));
        EXPECT_EQ (emulator.getNumOpenPorts(), 0);
        EXPECT_GT (tickUntilState (link, BaseCom::connected), 0);
        EXPECT_EQ (emulator.getNumOpenPorts(), 2);
        emulator.setFault (fault, 0);
        link.disconnect();
    }
    EXPECT_EQ (link.appConnects, 2);
}

TEST_F (ConnectionTest, FirstRowOfTheTableWinsAndApplicationModeBeforeUpdateMode)
{
    AmplifierEmulator zelta60 (zelta60_2());
    AmplifierEmulator zelta240 (zelta240_2M());
    auto devices = std::make_unique<CombinedUsbDevices>();
    devices->add (zelta60.createUsbDevices());
    devices->add (zelta240.createUsbDevices());
    CountingLink both (std::move (devices), zelta240.createMidiPorts());

    both.timerCallback();
    EXPECT_EQ (both.getProductName(), "Zelta 240/2M") << "listed later by the system, but first in the table";

    // An application identifier wins over a boot identifier of an earlier row.
    zelta240.plugIn (AmplifierEmulator::Mode::update);
    both.disconnect();
    both.timerCallback();
    EXPECT_EQ (both.getLinkState(), BaseCom::appIdSeen);
    EXPECT_EQ (both.getProductName(), "Zelta 60/2");
}

TEST_F (ConnectionTest, FirmwareUpdateIsOnlyTakenInUpdateMode)
{
    connect();
    EXPECT_FALSE (link.requestFirmwareUpdate());
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::connected);
    EXPECT_EQ (link.getUpdateProgress(), 0);
}

TEST (FirmwareStreaming, StreamsTheImageAndFindsTheAmplifierBackInApplicationMode)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto identity = zelta120_1();
    const auto image = buildFirmwareImage (identity.modelId, 12);
    AmplifierEmulator emulator (identity, AmplifierEmulator::Mode::update);
    emulator.setFirmwareRevision (900);
    emulator.setExpectedFirmwareMessages (12);
    SingleProductLink link (emulator, identity, image);

    ASSERT_EQ (tickUntilState (link, BaseCom::connectedInUpdateMode), 6);
    EXPECT_EQ (link.getUpdateProgress(), 0);
    ASSERT_TRUE (link.requestFirmwareUpdate());
    EXPECT_EQ (link.getLinkState(), BaseCom::connectedInUpdateMode) << "streaming starts on the next tick";

    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::streamingFirmware);
    EXPECT_EQ (link.getTimerInterval(), 20);
    EXPECT_EQ (emulator.getFirmwareReport().messages, 1) << "the start message goes out on entering";
    EXPECT_EQ (link.getUpdateProgress(), 9 * 100 / (int)image.size());

    int lastProgress = link.getUpdateProgress();
    for (int tick = 0; tick < 13; ++tick)
    {
        ASSERT_EQ (link.getLinkState(), BaseCom::streamingFirmware);
        link.timerCallback();
        EXPECT_GE (link.getUpdateProgress(), lastProgress);
        lastProgress = link.getUpdateProgress();
    }
    EXPECT_EQ (lastProgress, 100);

    const auto report = emulator.getFirmwareReport();
    EXPECT_EQ (report.messages, 14);
    EXPECT_EQ (report.dataMessages, 12);
    EXPECT_EQ (report.badMessages, 0);
    EXPECT_EQ (report.dataChecksum, firmwareDataChecksum (image.data(), (int)image.size()));
    EXPECT_EQ (report.completedUpdates, 1);
    EXPECT_EQ (emulator.getMode(), AmplifierEmulator::Mode::application);

    // The boot identifier is gone: disconnect (no hook from state 9), then found in application mode.
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (link.getTimerInterval(), 200);
    EXPECT_EQ (tickUntilState (link, BaseCom::connected), 6);
    EXPECT_EQ (link.getUpdateProgress(), 100) << "the image just streamed stays at its end";
    EXPECT_EQ (emulator.getFirmwareRevision(), 924u);
    EXPECT_EQ (emulator.getFirmwareReport().messages, 14) << "nothing more is sent";
}

TEST (FirmwareStreaming, UnplugMidStreamDisconnectsAndAFreshStreamStartsOver)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto identity = zelta120_1();
    const auto image = buildFirmwareImage (identity.modelId, 20, 5);
    AmplifierEmulator emulator (identity, AmplifierEmulator::Mode::update);
    emulator.setFirmwareRevision (900);
    SingleProductLink link (emulator, identity, image);

    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    emulator.unplugAfterFirmwareMessages (8);
    ASSERT_TRUE (link.requestFirmwareUpdate());
    ASSERT_EQ (tickUntilState (link, BaseCom::idle), 9)
        << "start, seven data messages, then the scan misses it";
    EXPECT_EQ (link.bootDisconnects, 0) << "no hook for a disconnect while streaming";
    EXPECT_EQ (link.getTimerInterval(), 200);
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 0);
    EXPECT_EQ (emulator.getFirmwareRevision(), 900u);

    for (int i = 0; i < 5; ++i)
        link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle) << "nothing to find while unplugged";

    // The user forces update mode again: the stream starts from the beginning and completes.
    emulator.plugIn (AmplifierEmulator::Mode::update);
    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    ASSERT_TRUE (link.requestFirmwareUpdate());
    ASSERT_GT (tickUntilState (link, BaseCom::idle, 40), 0);
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
    EXPECT_EQ (emulator.getFirmwareReport().dataMessages, 20);
    EXPECT_EQ (emulator.getFirmwareRevision(), 924u);
}

TEST (FirmwareStreaming, ARequestMadeInUpdateModeSurvivesADisconnect)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto identity = zelta120_1();
    const auto image = buildFirmwareImage (identity.modelId, 2);
    AmplifierEmulator emulator (identity, AmplifierEmulator::Mode::update);
    SingleProductLink link (emulator, identity, image);

    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    ASSERT_TRUE (link.requestFirmwareUpdate());
    emulator.unplug();
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
    EXPECT_EQ (emulator.getFirmwareReport().messages, 0);

    // Served on the next entry into update mode.
    emulator.plugIn (AmplifierEmulator::Mode::update);
    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::streamingFirmware);
}

TEST (FirmwareStreaming, NothingFollowsTheEndMessageWhileTheBootLoaderLingers)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto identity = zelta120_1();
    const auto image = buildFirmwareImage (identity.modelId, 3);
    AmplifierEmulator emulator (identity, AmplifierEmulator::Mode::update);
    emulator.setFault (Fault::updateModeLingers, 10);
    SingleProductLink link (emulator, identity, image);

    ASSERT_GT (tickUntilState (link, BaseCom::connectedInUpdateMode), 0);
    ASSERT_TRUE (link.requestFirmwareUpdate());
    for (int tick = 0; tick < 5; ++tick)
        link.timerCallback(); // start, three data messages, end
    ASSERT_EQ (emulator.getFirmwareReport().completedUpdates, 1);

    // Still listed in update mode for ten more scans: the link streams on, with nothing to send.
    for (int tick = 0; tick < 8; ++tick)
    {
        link.timerCallback();
        EXPECT_EQ (link.getLinkState(), BaseCom::streamingFirmware);
    }
    ASSERT_GT (tickUntilState (link, BaseCom::idle), 0);
    EXPECT_EQ (emulator.getFirmwareReport().messagesAfterEnd, 0);
    EXPECT_EQ (link.bootDisconnects, 0);
    EXPECT_EQ (link.bootConnects, 1);

    EXPECT_GT (tickUntilState (link, BaseCom::connected), 0);
}
