#include "LinkTestSupport.h"
#include "link/ApplicationPayload.h"
#include "testing/emulator/ScriptedMidiPorts.h"
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

// One frame of a block as the amplifier sends it.
juce::MidiMessage blockFrame (juce::uint8 command, int index, int count, const void* data, size_t size)
{
    std::vector<juce::uint8> payload{ (juce::uint8)index, (juce::uint8)count };
    if (size > 0)
        payload.insert (payload.end(), static_cast<const juce::uint8*> (data),
                        static_cast<const juce::uint8*> (data) + size);
    return SysexMessage (119, command, payload.data(), (int)payload.size()).toMidiMessage();
}

std::vector<juce::MidiMessage> blockFrames (juce::uint8 command, const juce::MemoryBlock& block)
{
    const int count = ((int)block.getSize() + 63) / 64;
    std::vector<juce::MidiMessage> frames;
    for (int index = 1; index <= count; ++index)
    {
        const size_t offset = (size_t)(index - 1) * 64;
        frames.push_back (blockFrame (command, index, count,
                                      static_cast<const char*> (block.getData()) + offset,
                                      juce::jmin ((size_t)64, block.getSize() - offset)));
    }
    return frames;
}

juce::MidiMessage withRawBytes (const juce::MidiMessage& message, int size, int highBitAt = -1)
{
    std::vector<juce::uint8> raw (message.getRawData(), message.getRawData() + size);
    if (highBitAt >= 0)
        raw[(size_t)highBitAt] |= 0x80;
    return juce::MidiMessage (raw.data(), (int)raw.size(), 0.0);
}

class ScriptedTransferTest : public ::testing::Test
{
protected:
    void script (ScriptedMidiPorts::Responder responder, const LinkTiming& timing = {})
    {
        link = std::make_unique<VantorelCom> (
            std::make_unique<PresentAmplifier>(),
            std::make_unique<ScriptedMidiPorts> ("Zelta 240/2M", std::move (responder)), timing);
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

TEST_F (TransferTest, AReplyIsAwaitedForAboutASecond)
{
    emulator.setFault (Fault::replyDelayMs, 500);
    EXPECT_EQ (requestRevision(), 924u);
    // Later than that it counts as lost (and lands while nobody waits).
    emulator.setFault (Fault::replyDelayMs, 1300);
    EXPECT_EQ (requestRevision(), 0u);
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

TEST_F (TransferTest, WhatCannotGoOutWholeIsNotSentAtAll)
{
    EXPECT_FALSE (link.sendFrames (40, randomBlock (16321, 1))) << "more than 255 frames";

    const auto bytes = randomBlock (513, 2);
    EXPECT_FALSE (link.sendCommand (21, bytes.getData(), 513)) << "a payload of more than 512 bytes";
    EXPECT_FALSE (link.sendFrame (40, 1, 1, bytes.getData(), 65)) << "more than 64 data bytes";
    EXPECT_FALSE (link.sendFrame (40, 1, 1, bytes.getData(), 0)) << "no data";
    EXPECT_FALSE (link.sendFrame (40, 3, 2, bytes.getData(), 8)) << "an index above the count";
    EXPECT_EQ (emulator.getNumReceived (21) + emulator.getNumReceived (40), 0);

    EXPECT_TRUE (link.sendFrame (40, 2, 2, bytes.getData(), 64));
    EXPECT_EQ (emulator.getNumReceived (40), 1);
}

TEST_F (TransferTest, UnplugDuringASendFailsItThoughNoTickRuns)
{
    // The message thread sends, so the link's timer cannot notice the unplug meanwhile.
    emulator.unplugAfterIncomingFrames (2);
    EXPECT_FALSE (link.sendFrames (40, randomBlock (300, 3)));
    EXPECT_EQ (emulator.getNumStoredBlocks (40), 0);
    EXPECT_EQ (link.getLinkState(), BaseCom::connected) << "the tick has not run yet";
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

    emulator.setFault (Fault::wrongFrameIndex, true);
    EXPECT_FALSE (readBack (36, 37, result));
    EXPECT_EQ (result.getSize(), 0u);
    emulator.setFault (Fault::wrongFrameIndex, false);

    emulator.setFault (Fault::lostReplyFrame, 5);
    EXPECT_FALSE (readBack (36, 37, result)) << "the last frame is missing";
    EXPECT_EQ (result.getSize(), 256u) << "what was read stays in the stream";
    emulator.setFault (Fault::lostReplyFrame, 0);

    emulator.setFault (Fault::noReply, true);
    EXPECT_FALSE (readBack (36, 37, result));
    EXPECT_EQ (requestRevision(), 0u);
    emulator.setFault (Fault::noReply, false);

    emulator.setFault (Fault::replyDelayMs, 1300);
    EXPECT_FALSE (readBack (36, 37, result));
    emulator.setFault (Fault::replyDelayMs, 0);
    // The late reply lands while nobody waits; later requests still get their own replies.
    juce::Thread::sleep (400);
    ASSERT_TRUE (readBack (36, 37, result));
    EXPECT_EQ (result, block);

    emulator.setFault (Fault::garbage, true);
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

TEST_F (TransferTest, DamagedRepliesAreRefusedAndTheLinkRecovers)
{
    emulator.setStoredBlock (40, randomBlock (100, 6));
    juce::MemoryBlock result;

    for (const auto fault : { Fault::highDataByte, Fault::cutReplies })
    {
        SCOPED_TRACE ((int)fault);
        emulator.setFault (fault, true);
        EXPECT_EQ (requestRevision(), 0u);
        EXPECT_FALSE (readBack (39, 40, result));
        emulator.setFault (fault, false);
        EXPECT_EQ (requestRevision(), 924u);
    }

    // The model byte of a reply is not compared with the connected model.
    emulator.setFault (Fault::wrongModelByte, true);
    EXPECT_EQ (requestRevision(), 924u);
    ASSERT_TRUE (readBack (39, 40, result));
    EXPECT_EQ (result, emulator.getStoredBlock (40));
}

TEST_F (TransferTest, RepeatedRepliesNeverPassForAnotherFrame)
{
    const auto block = randomBlock (300, 7);
    emulator.setStoredBlock (40, block);
    juce::MemoryBlock result;

    // The reply before comes first: frame 1 arrives for frame 2, which fails the read there.
    emulator.setFault (Fault::staleReplies, true);
    EXPECT_FALSE (readBack (39, 40, result));
    EXPECT_EQ (result.getSize(), 64u);
    EXPECT_EQ (requestRevision(), 924u) << "a stale reply of another command is passed over";
    emulator.setFault (Fault::staleReplies, false);

    // A second copy is dropped while the first waits, or fails the next frame; never taken for it.
    emulator.setFault (Fault::duplicateReplies, true);
    for (int round = 0; round < 5; ++round)
    {
        if (readBack (39, 40, result))
            EXPECT_EQ (result, block);
        EXPECT_EQ (requestRevision(), 924u);
    }
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

// Replies still on their way while links are destroyed. No callback may reach a link whose
// derived parts are already gone: scripts/tsan.sh reports such a race.
TEST (LinkLifetime, DestroyingALinkWhileRepliesArriveClosesItsPortsFirst)
{
    juce::ScopedJuceInitialiser_GUI juce;
    AmplifierEmulator emulator (zelta240_2M());

    for (int round = 0; round < 20; ++round)
    {
        auto link = std::make_unique<VantorelCom> (emulator.createUsbDevices(), emulator.createMidiPorts());
        ASSERT_GT (tickUntilState (*link, BaseCom::connected), 0);
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE (link->sendCommand (3, nullptr, 0));
        link.reset();
        EXPECT_EQ (emulator.getNumOpenPorts(), 0);
    }
    EXPECT_EQ (emulator.getNumReceived (3), 20 * 50);
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

TEST_F (ScriptedTransferTest, OnlyAcceptedReplyCommandsArrive)
{
    // Every request is answered with its command + 1.
    script (
        [] (const SysexMessage& request) -> std::vector<juce::MidiMessage>
        {
            const juce::uint8 word[] = { 0x9c, 0x03, 0, 0 };
            return { SysexMessage (119, (juce::uint8) (request.getCommand() + 1), word, 4).toMidiMessage() };
        });

    juce::uint8 reply[4] = {};
    int length = 0;
    EXPECT_TRUE (link->request (3, 4, reply, length, 4));
    EXPECT_FALSE (link->request (7, 8, reply, length, 4)) << "8 is not among the accepted replies";

    SysexMessage unknown (119, 8, reply, 4);
    EXPECT_EQ (link->isAcceptedReply (unknown), -1);
    EXPECT_EQ (unknown.getCommand(), 0);
    EXPECT_FALSE (unknown.isValid());
    SysexMessage settings (119, 40, reply, 4);
    EXPECT_EQ (link->isAcceptedReply (settings), 3);
    EXPECT_TRUE (settings.isValid());
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

// Settings read without their application part would come without their password: only the
// amplifier's plain answer that it holds no part, a first frame of one frame or none that carries
// nothing, gives the settings alone. The settings are answered in every row.
TEST_F (ScriptedTransferTest, OnlyAnExplicitEmptyAnswerMeansNoApplicationPartIsStored)
{
    juce::MemoryOutputStream settings;
    settings.writeIntBigEndian (0x02015800);
    settings.writeIntBigEndian (5);
    settings.writeIntBigEndian (0x01000000);
    std::vector<juce::MidiMessage> partFrames; // the answer to each frame of the part, in order

    LinkTiming immediate; // every answer arrives within the request
    immediate.maxReplyPolls = 0;
    script (
        [&] (const SysexMessage& request) -> std::vector<juce::MidiMessage>
        {
            if (request.getPayload().size() != 1)
                return {};
            const auto index = (size_t)request.getPayload()[0];
            const auto frames = request.getCommand() == QuobCom::readSettingsCommand
                                    ? blockFrames (QuobCom::settingsFrames, settings.getMemoryBlock())
                                    : partFrames;
            if (index < 1 || index > frames.size())
                return {};
            return { frames[index - 1] };
        },
        immediate);

    juce::XmlElement device ("Device");
    device.setAttribute ("name", "stored");
    juce::Random random (5);
    for (int i = 0; i < 8; ++i)
        device.createNewChildElement ("Input")->setAttribute ("label",
                                                              juce::String::toHexString (random.nextInt64()));
    device.createNewChildElement ("Password")->setAttribute ("value", "12345");
    const auto payload = createApplicationPayload (device, 927);
    const auto part = blockFrames (QuobCom::applicationFrames, payload);
    ASSERT_GE (part.size(), 2u);
    // The part's own bytes, but its first frame states one frame more than the rest.
    // (Built, not assigned over: the framework's move assignment of a message leaks the old bytes.)
    std::vector<juce::MidiMessage> recounted{ blockFrame (QuobCom::applicationFrames, 1, (int)part.size() + 1,
                                                          payload.getData(), 64) };
    recounted.insert (recounted.end(), part.begin() + 1, part.end());

    const auto empty = [] (int index, int count)
    { return blockFrame (QuobCom::applicationFrames, index, count, nullptr, 0); };
    // A whole part in one frame that states no frames contradicts itself.
    const auto small = createApplicationPayload (juce::XmlElement ("Device"), 927);
    ASSERT_LE (small.getSize(), 64u);
    const int emptyFrameSize = empty (1, 0).getRawDataSize();

    const struct
    {
        const char* what;
        std::vector<juce::MidiMessage> frames;
        int result;
        const char* name;
    } rows[] = {
        { "the stored part", part, QuobCom::readDone, "stored" },
        { "one frame without data", { empty (1, 1) }, QuobCom::readDone, "kept" },
        { "no frames and no data", { empty (1, 0) }, QuobCom::readDone, "kept" },
        { "no frames but a part",
          { blockFrame (QuobCom::applicationFrames, 1, 0, small.getData(), small.getSize()) },
          QuobCom::readFailed,
          "kept" },
        { "two frames without data", { empty (1, 2), empty (2, 2) }, QuobCom::readFailed, "kept" },
        { "no answer", {}, QuobCom::readFailed, "kept" },
        { "another frame's answer", { empty (2, 0) }, QuobCom::readFailed, "kept" },
        { "cut", { withRawBytes (empty (1, 0), emptyFrameSize - 1) }, QuobCom::readFailed, "kept" },
        { "garbled",
          { withRawBytes (empty (1, 0), emptyFrameSize, emptyFrameSize - 2) },
          QuobCom::readFailed,
          "kept" },
        { "a count that changes within the part", recounted, QuobCom::readFailed, "kept" },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.what);
        partFrames = row.frames;
        juce::XmlElement destination ("Device");
        destination.setAttribute ("name", "kept");
        const int result = link->readApplication (destination);
        EXPECT_EQ (result, row.result);
        EXPECT_EQ (destination.getStringAttribute ("name"), row.name);
        if (result != QuobCom::readDone)
        {
            EXPECT_EQ (destination.getNumChildElements(), 0);
            continue;
        }
        const auto* read = destination.getChildElement (destination.getNumChildElements() - 1);
        ASSERT_NE (read, nullptr);
        EXPECT_TRUE (read->hasTagName ("CORVADINE"));
        EXPECT_NE (read->getChildByName ("EFFECT"), nullptr);
    }
}
