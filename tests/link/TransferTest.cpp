#include "LinkTestSupport.h"
#include <functional>
#include <thread>

namespace
{
juce::MemoryBlock randomBlock (int size, juce::int64 seed)
{
    juce::Random random (seed);
    juce::MemoryBlock block ((size_t)size);
    for (int i = 0; i < size; ++i)
        block[i] = (char)random.nextInt (256);
    return block;
}

class TransferTest : public EmulatedLinkTest
{
protected:
    void SetUp() override { connect(); }

    bool readBack (juce::uint8 command, juce::uint8 reply, juce::MemoryBlock& result)
    {
        juce::MemoryOutputStream stream;
        const bool ok = link.readFrames (command, reply, stream);
        result = stream.getMemoryBlock();
        return ok;
    }

    juce::uint32 requestRevision()
    {
        juce::uint8 reply[4] = {};
        int length = 0;
        if (!link.request (3, 4, reply, length, 4) || length != 4)
            return 0;
        return juce::ByteOrder::littleEndianInt (reply);
    }
};

//==============================================================================
// Ports whose amplifier answers inside the send call, on the sender's thread, with whatever the
// test scripts.
class ScriptedPorts : public MidiPortProvider
{
public:
    using Responder = std::function<std::vector<juce::MidiMessage> (const SysexMessage& request)>;

    explicit ScriptedPorts (Responder r) : responder (std::move (r)) {}

    juce::StringArray getOutputNames() override { return { "Zelta 240/2M" }; }
    juce::StringArray getInputNames() override { return { "Zelta 240/2M" }; }

    std::unique_ptr<Output> openOutput (int) override { return std::make_unique<ScriptedOutput> (*this); }
    std::unique_ptr<Input> openInput (int, juce::MidiInputCallback* c) override
    {
        callback = c;
        return std::make_unique<NoInput>();
    }

private:
    struct NoInput : Input
    {
        void start() override {}
        void stop() override {}
    };

    struct ScriptedOutput : Output
    {
        explicit ScriptedOutput (ScriptedPorts& p) : ports (p) {}
        void sendMessageNow (const juce::MidiMessage& message) override
        {
            for (const auto& reply : ports.responder (SysexMessage::fromMidiMessage (message)))
                ports.callback->handleIncomingMidiMessage (nullptr, reply);
        }
        ScriptedPorts& ports;
    };

    Responder responder;
    juce::MidiInputCallback* callback = nullptr;
};

class PresentAmplifier : public UsbDeviceEnumerator
{
public:
    juce::StringArray getMediaDeviceInstanceIds() override { return { "USB\\VID_1E7A&PID_4003\\1" }; }
};

juce::MidiMessage frameReply (juce::uint8 command, int index, int count, int dataSize)
{
    std::vector<juce::uint8> payload{ (juce::uint8)index, (juce::uint8)count };
    payload.resize ((size_t)dataSize + 2, (juce::uint8)index);
    return SysexMessage (119, command, payload.data(), (int)payload.size()).toMidiMessage();
}

class ScriptedTransferTest : public ::testing::Test
{
protected:
    void script (ScriptedPorts::Responder responder)
    {
        link = std::make_unique<VantorelCom> (std::make_unique<PresentAmplifier>(),
                                              std::make_unique<ScriptedPorts> (std::move (responder)));
        ASSERT_EQ (tickUntilState (*link, BaseCom::connected), 6);
    }

    juce::ScopedJuceInitialiser_GUI juce;
    std::unique_ptr<VantorelCom> link;
};
} // namespace

TEST_F (TransferTest, RequestCopiesTheAwaitedReply)
{
    emulator.setFirmwareRevision (0x01020304);
    juce::uint8 reply[8] = {};
    int length = 0;
    ASSERT_TRUE (link.request (3, 4, reply, length, 8));
    EXPECT_EQ (length, 4);
    EXPECT_EQ (juce::ByteOrder::littleEndianInt (reply), 0x01020304u);

    EXPECT_FALSE (link.request (3, 4, reply, length, 3)) << "a reply longer than the buffer";
    EXPECT_EQ (requestRevision(), 0x01020304u) << "the link is fine afterwards";
}

TEST_F (TransferTest, RepliesOfCommandsNobodyAcceptsNeverArrive)
{
    emulator.setFirmwareRevision (924);
    juce::uint8 reply[4];
    int length = 0;
    // The emulator answers command 3 with command 4; awaiting 99 (not an accepted reply) times out.
    EXPECT_FALSE (link.request (3, 99, reply, length, 4));
    EXPECT_EQ (requestRevision(), 924u);
}

TEST_F (TransferTest, BlocksOfEverySizeArriveWholeAndReadBack)
{
    for (int size : { 0, 1, 64, 65, 200, 16320 })
    {
        SCOPED_TRACE (size);
        const auto block = randomBlock (size, size);
        const int framesBefore = emulator.getNumReceived (40);
        const int storedBefore = emulator.getNumStoredBlocks (40);

        ASSERT_TRUE (link.sendFrames (40, block));
        const int frames = (size + 63) / 64;
        EXPECT_EQ (emulator.getNumReceived (40) - framesBefore, frames);
        if (size == 0)
        {
            EXPECT_EQ (emulator.getNumStoredBlocks (40), storedBefore) << "an empty block sends nothing";
            continue;
        }

        EXPECT_EQ (emulator.getNumStoredBlocks (40), storedBefore + 1);
        EXPECT_EQ (emulator.getStoredBlock (40), block);

        juce::MemoryBlock readBlock;
        ASSERT_TRUE (readBack (39, 40, readBlock));
        EXPECT_EQ (readBlock, block);
    }

    EXPECT_EQ (frameReply (40, 255, 255, 64).getRawDataSize(), 84) << "a full frame is a short message";
}

TEST_F (TransferTest, ABlockOfMoreThan255FramesIsRefusedWhole)
{
    EXPECT_FALSE (link.sendFrames (40, randomBlock (16321, 1)));
    EXPECT_EQ (emulator.getNumReceived (40), 0);
}

TEST_F (TransferTest, SendsAreRefusedWithoutAConnection)
{
    emulator.unplug();
    link.timerCallback();
    ASSERT_EQ (link.getLinkState(), BaseCom::idle);

    EXPECT_FALSE (link.sendCommand (3, nullptr, 0));
    EXPECT_FALSE (link.sendFrames (40, randomBlock (10, 1)));
    juce::uint8 reply[4];
    int length = 0;
    EXPECT_FALSE (link.request (3, 4, reply, length, 4));
    juce::MemoryBlock block;
    EXPECT_FALSE (readBack (39, 40, block));
}

TEST_F (TransferTest, FaultyRepliesFailTheReadAndTheLinkRecovers)
{
    const auto block = randomBlock (300, 9); // five frames
    emulator.setStoredBlock (37, block);
    juce::MemoryBlock result;

    emulator.setWrongFrameIndex (true);
    EXPECT_FALSE (readBack (36, 37, result));
    EXPECT_EQ (result.getSize(), 0u);
    emulator.setWrongFrameIndex (false);

    emulator.setLostReplyFrame (5);
    EXPECT_FALSE (readBack (36, 37, result)) << "the last frame is missing";
    EXPECT_EQ (result.getSize(), 256u) << "what was read stays in the stream";
    emulator.setLostReplyFrame (0);

    emulator.setNoReply (true);
    EXPECT_FALSE (readBack (36, 37, result));
    EXPECT_EQ (requestRevision(), 0u);
    emulator.setNoReply (false);

    emulator.setReplyDelayMs (1300);
    EXPECT_FALSE (readBack (36, 37, result));
    emulator.setReplyDelayMs (0);
    // The late reply lands while nobody waits; later requests still get their own replies.
    juce::Thread::sleep (400);
    ASSERT_TRUE (readBack (36, 37, result));
    EXPECT_EQ (result, block);

    emulator.setGarbageAroundReplies (true);
    ASSERT_TRUE (readBack (36, 37, result));
    EXPECT_EQ (result, block);
    EXPECT_EQ (requestRevision(), 924u);
}

TEST_F (TransferTest, UnplugDuringAReadFailsIt)
{
    emulator.setStoredBlock (40, randomBlock (1000, 2));
    emulator.unplugAfterReplies (4);
    juce::MemoryBlock result;
    EXPECT_FALSE (readBack (39, 40, result));
    EXPECT_EQ (result.getSize(), 4u * 64);

    link.timerCallback();
    EXPECT_EQ (link.getLinkState(), BaseCom::idle);
}

TEST_F (TransferTest, ConcurrentRequestsEachGetTheirOwnReply)
{
    emulator.setFirmwareRevision (924);
    emulator.setSerialNumber (0x0a0b0c0d);
    emulator.setStoredBlock (40, randomBlock (500, 4));

    std::atomic<int> wrongRevisions{ 0 }, wrongSerials{ 0 };
    std::thread revisions (
        [&]
        {
            for (int i = 0; i < 20; ++i)
                if (requestRevision() != 924u)
                    ++wrongRevisions;
        });
    std::thread serials (
        [&]
        {
            for (int i = 0; i < 20; ++i)
            {
                juce::uint8 reply[4] = {};
                int length = 0;
                if (!link.request (5, 6, reply, length, 4) ||
                    juce::ByteOrder::bigEndianInt (reply) != 0x0a0b0c0du)
                    ++wrongSerials;
            }
        });

    // Meanwhile the message thread keeps ticking and reads a block.
    juce::MemoryBlock result;
    EXPECT_TRUE (readBack (39, 40, result));
    for (int i = 0; i < 10; ++i)
        link.timerCallback();

    revisions.join();
    serials.join();
    EXPECT_EQ (wrongRevisions.load(), 0);
    EXPECT_EQ (wrongSerials.load(), 0);
    EXPECT_EQ (result, emulator.getStoredBlock (40));
    EXPECT_EQ (link.getLinkState(), BaseCom::connected);
}

//==============================================================================
TEST_F (ScriptedTransferTest, AReplyArrivingWithinTheSendIsCaught)
{
    script (
        [] (const SysexMessage& request) -> std::vector<juce::MidiMessage>
        {
            if (request.getCommand() != 5)
                return {};
            const juce::uint8 serial[] = { 0, 0, 0x30, 0x39 };
            return { SysexMessage (119, 6, serial, 4).toMidiMessage() };
        });

    EXPECT_EQ (link->readSerialNumber(), 12345u);
}

TEST_F (ScriptedTransferTest, TheFlaggedReplyIsKeptAgainstLaterMessages)
{
    script (
        [] (const SysexMessage& request) -> std::vector<juce::MidiMessage>
        {
            if (request.getCommand() != 3)
                return {};
            const juce::uint8 first[] = { 0x9c, 0x03, 0, 0 };
            const juce::uint8 second[] = { 1, 0, 0, 0 };
            return { juce::MidiMessage::noteOn (1, 1, 1.0f), SysexMessage (119, 4, first, 4).toMidiMessage(),
                     SysexMessage (119, 4, second, 4).toMidiMessage(),
                     SysexMessage (119, 66, second, 4).toMidiMessage() };
        });

    EXPECT_EQ (link->readFirmwareRevision(), 924u);
}

TEST_F (ScriptedTransferTest, BlockReadsCheckEveryFrame)
{
    // Frame index -> replies; the count each frame states can be scripted.
    std::vector<int> statedCounts;
    int dataSize = 64;
    script (
        [&] (const SysexMessage& request) -> std::vector<juce::MidiMessage>
        {
            if (request.getCommand() != 39 || request.getPayload().size() != 1)
                return {};
            const int index = request.getPayload()[0];
            if (index > (int)statedCounts.size())
                return {};
            return { frameReply (40, index, statedCounts[(size_t)index - 1], dataSize) };
        });

    juce::MemoryOutputStream one;
    statedCounts = { 1 };
    EXPECT_TRUE (link->readFrames (39, 40, one));
    EXPECT_EQ (one.getDataSize(), 64u);

    juce::MemoryOutputStream three;
    statedCounts = { 3, 3, 3 };
    EXPECT_TRUE (link->readFrames (39, 40, three));
    EXPECT_EQ (three.getDataSize(), 192u);
    EXPECT_EQ (static_cast<const juce::uint8*> (three.getData())[191], 3);

    juce::MemoryOutputStream shrinking;
    statedCounts = { 4, 2, 2, 2 };
    EXPECT_FALSE (link->readFrames (39, 40, shrinking)) << "a count that changes mid-block";

    juce::MemoryOutputStream oversized;
    statedCounts = { 1 };
    dataSize = 65;
    EXPECT_FALSE (link->readFrames (39, 40, oversized)) << "more than 64 data bytes";
    EXPECT_EQ (oversized.getDataSize(), 0u);

    juce::MemoryOutputStream countZero;
    statedCounts = { 0 };
    dataSize = 8;
    EXPECT_FALSE (link->readFrames (39, 40, countZero));

    juce::MemoryOutputStream empty;
    statedCounts = { 1 };
    dataSize = 0;
    EXPECT_TRUE (link->readFrames (39, 40, empty)) << "a frame may carry nothing";
    EXPECT_EQ (empty.getDataSize(), 0u);
}
