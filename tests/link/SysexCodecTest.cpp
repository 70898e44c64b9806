#include "link/FrameMessage.h"
#include "link/SysexPacking.h"
#include <gtest/gtest.h>
#include <vector>

namespace
{
using Bytes = std::vector<juce::uint8>;

Bytes wireOf (const juce::MidiMessage& message)
{
    return Bytes (message.getRawData(), message.getRawData() + message.getRawDataSize());
}

juce::MidiMessage midiOf (const Bytes& bytes)
{
    return juce::MidiMessage (bytes.data(), (int)bytes.size(), 0.0);
}

Bytes payloadOf (const SysexMessage& message)
{
    const auto& payload = message.getPayload();
    return Bytes (payload.begin(), payload.end());
}

Bytes randomBytes (juce::Random& random, int size)
{
    Bytes bytes ((size_t)size);
    for (auto& b : bytes)
        b = (juce::uint8)random.nextInt (256);
    return bytes;
}
} // namespace

TEST (SysexPacking, PacksTheTopBitsIntoAHeaderPerSevenBytes)
{
    const Bytes payload{ 0x80, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xff };
    Bytes wire ((size_t)packedSize (8));
    EXPECT_EQ (pack8to7 (wire.data(), payload.data(), 8), 10);
    EXPECT_EQ (wire, (Bytes{ 0x40, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x40, 0x7f }));

    Bytes unpacked (10);
    EXPECT_EQ (unpack7to8 (unpacked.data(), wire.data(), 10), 8);
    unpacked.resize (8);
    EXPECT_EQ (unpacked, payload);

    // Each of the seven bytes of a group has its own header bit, from bit 6 down to bit 0.
    const Bytes highBits{ 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0xff };
    Bytes packed (8);
    pack8to7 (packed.data(), highBits.data(), 7);
    EXPECT_EQ (packed, (Bytes{ 0x21, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7f }));
}

TEST (SysexPacking, SizesAndDegenerateInput)
{
    EXPECT_EQ (packedSize (0), 0);
    EXPECT_EQ (packedSize (7), 8);
    EXPECT_EQ (packedSize (8), 10);
    EXPECT_EQ (packedSize (512), 586);

    juce::uint8 out[4] = { 0xaa, 0xaa, 0xaa, 0xaa };
    EXPECT_EQ (pack8to7 (out, nullptr, 0), 0);
    EXPECT_EQ (out[0], 0xaa);

    // A header with nothing after it yields nothing; a lone header after a full group too.
    const juce::uint8 lone[] = { 0x7f };
    EXPECT_EQ (unpack7to8 (out, lone, 1), 0);
    const juce::uint8 groupAndHeader[] = { 0x40, 0x01, 2, 3, 4, 5, 6, 7, 0x7f };
    juce::uint8 group[9] = {};
    EXPECT_EQ (unpack7to8 (group, groupAndHeader, 9), 7);
    EXPECT_EQ (group[0], 0x81);
    EXPECT_EQ (group[6], 7);
}

TEST (SysexPacking, RoundTripsEveryLength)
{
    juce::Random random (42);
    for (int length = 0; length <= 64; ++length)
    {
        const auto payload = randomBytes (random, length);
        Bytes wire ((size_t)packedSize (length));
        ASSERT_EQ (pack8to7 (wire.data(), payload.data(), length), packedSize (length));
        for (auto b : wire)
            ASSERT_LT (b, 0x80) << "wire bytes must be seven-bit";

        Bytes back ((size_t)packedSize (length));
        ASSERT_EQ (unpack7to8 (back.data(), wire.data(), (int)wire.size()), length);
        back.resize ((size_t)length);
        ASSERT_EQ (back, payload) << "length " << length;
    }
}

TEST (SysexPacking, StoresWordsMostSignificantFirst)
{
    juce::uint8 word[4];
    storeBigEndian32 (word, 0xffffff38u);
    EXPECT_EQ (Bytes (word, word + 4), (Bytes{ 0xff, 0xff, 0xff, 0x38 }));
    storeBigEndian32 (word, 0x01020304u);
    EXPECT_EQ (Bytes (word, word + 4), (Bytes{ 0x01, 0x02, 0x03, 0x04 }));
}

TEST (SysexMessage, WireImageOfAnEmptyAndAFullMessage)
{
    const SysexMessage empty (119, 3, nullptr, 0);
    ASSERT_TRUE (empty.isValid());
    EXPECT_EQ (wireOf (empty.toMidiMessage()), (Bytes{ 0xf0, 0x00, 0x3a, 0x5c, 0x00, 119, 3, 0xf7 }));
    EXPECT_EQ (empty.toMidiMessage().getTimeStamp(), 0.0);

    const Bytes text{ 'e', 'r', 'a', 's', 'e', 'n', 'b', 'o', 'o', 't' };
    const SysexMessage command (4, 21, text.data(), (int)text.size());
    EXPECT_EQ (wireOf (command.toMidiMessage()),
               (Bytes{ 0xf0, 0x00, 0x3a, 0x5c, 0x00, 4,    21,  0x00, 'e', 'r',
                       'a',  's',  'e',  'n',  'b',  0x00, 'o', 'o',  't', 0xf7 }));

    juce::Random random (1);
    const auto longest = randomBytes (random, SysexMessage::maxPayloadSize);
    const SysexMessage full (5, 40, longest.data(), (int)longest.size());
    EXPECT_TRUE (full.isValid());
    EXPECT_EQ (full.toMidiMessage().getRawDataSize(), 8 + 586);

    const Bytes tooLong (513, 1);
    EXPECT_FALSE (SysexMessage (5, 40, tooLong.data(), 513).isValid());
}

TEST (SysexMessage, TwoLeadingBytesConstructor)
{
    const juce::uint8 data[] = { 9, 8, 7 };

    const SysexMessage one (1, 2, 0x11, 0x22, data, 1);
    EXPECT_FALSE (one.isValid());
    EXPECT_TRUE (one.getPayload().isEmpty());

    const SysexMessage two (1, 2, 0x11, 0x22, data, 2);
    EXPECT_TRUE (two.isValid());
    EXPECT_EQ (payloadOf (two), (Bytes{ 0x11, 0x22 }));

    const SysexMessage five (1, 2, 0x11, 0x22, data, 5);
    EXPECT_EQ (payloadOf (five), (Bytes{ 0x11, 0x22, 9, 8, 7 }));

    const Bytes big (511, 0);
    EXPECT_FALSE (SysexMessage (1, 2, 0, 0, big.data(), 513).isValid());
    EXPECT_TRUE (SysexMessage (1, 2, 0, 0, big.data(), 512).isValid());
}

TEST (SysexMessage, ParsesWhatItWritesUpToTheReceiveLimit)
{
    juce::Random random (7);
    // 441 payload bytes pack into 504 wire bytes: a 512-byte message, the longest accepted.
    for (int length : { 0, 1, 6, 7, 8, 66, 100, 441 })
    {
        const auto payload = randomBytes (random, length);
        const SysexMessage sent (32, 37, payload.data(), length);
        const auto received = SysexMessage::fromMidiMessage (sent.toMidiMessage());
        ASSERT_TRUE (received.isValid()) << length;
        EXPECT_EQ (received.getModelId(), 32);
        EXPECT_EQ (received.getCommand(), 37);
        EXPECT_EQ (payloadOf (received), payload) << length;
    }

    const auto payload = randomBytes (random, 442);
    const SysexMessage tooLong (32, 37, payload.data(), 442);
    EXPECT_GT (tooLong.toMidiMessage().getRawDataSize(), 512);
    EXPECT_FALSE (SysexMessage::fromMidiMessage (tooLong.toMidiMessage()).isValid());
}

TEST (SysexMessage, RejectsWhatIsNotOurs)
{
    const Bytes good{ 0xf0, 0x00, 0x3a, 0x5c, 0x00, 6, 4, 0x00, 0x10, 0x20, 0xf7 };
    ASSERT_TRUE (SysexMessage::fromMidiMessage (midiOf (good)).isValid());

    auto expectInvalid = [] (const juce::MidiMessage& message, const char* what)
    {
        const auto parsed = SysexMessage::fromMidiMessage (message);
        EXPECT_FALSE (parsed.isValid()) << what;
        EXPECT_EQ (parsed.getModelId(), 0) << what;
        EXPECT_EQ (parsed.getCommand(), 0) << what;
        EXPECT_TRUE (parsed.getPayload().isEmpty()) << what;
    };

    for (int i = 1; i <= 4; ++i)
    {
        auto wrongHeader = good;
        wrongHeader[(size_t)i] ^= 0x01;
        expectInvalid (midiOf (wrongHeader), "header byte");
    }

    auto noEnd = good;
    noEnd.back() = 0x00;
    expectInvalid (midiOf (noEnd), "no F7 at the end");

    expectInvalid (midiOf ({ 0xf0, 0x00, 0x3a, 0x5c, 0x00, 6, 0xf7 }), "seven bytes");

    auto statusByteInside = good;
    statusByteInside[8] = 0x90;
    expectInvalid (midiOf (statusByteInside), "a byte of 0x80 or more before F7");

    Bytes tooLong (513, 0x01);
    std::copy (good.begin(), good.begin() + 7, tooLong.begin());
    tooLong.back() = 0xf7;
    expectInvalid (midiOf (tooLong), "513 bytes");
    tooLong.erase (tooLong.begin() + 7);
    EXPECT_TRUE (SysexMessage::fromMidiMessage (midiOf (tooLong)).isValid()) << "512 bytes";

    expectInvalid (juce::MidiMessage::noteOn (1, 60, (juce::uint8)100), "a channel message");
    expectInvalid (juce::MidiMessage::controllerEvent (1, 7, 127), "a controller");
}

TEST (FrameMessage, BuildsNumberedFrames)
{
    const juce::uint8 data[] = { 0x81, 0x7f, 0x00 };
    const FrameMessage frame (119, 40, 1, 2, data, 3);
    ASSERT_TRUE (frame.isValid());
    EXPECT_EQ (payloadOf (frame), (Bytes{ 1, 2, 0x81, 0x7f, 0x00 }));
    EXPECT_EQ (wireOf (frame.toMidiMessage()),
               (Bytes{ 0xf0, 0x00, 0x3a, 0x5c, 0x00, 119, 40, 0x10, 1, 2, 0x01, 0x7f, 0x00, 0xf7 }));

    EXPECT_EQ (frame.getFrameIndex(), 1);
    EXPECT_EQ (frame.getFrameCount(), 2);
    EXPECT_EQ (frame.getDataSize(), 3);
    ASSERT_NE (frame.getData(), nullptr);
    EXPECT_EQ (frame.getData()[0], 0x81);
}

TEST (FrameMessage, DataOfOneToSixtyFourBytesAndIndexNotAboveCount)
{
    const Bytes data (65, 0x42);
    auto expectInvalidFrame = [] (const FrameMessage& frame, const char* what)
    {
        EXPECT_FALSE (frame.isValid()) << what;
        EXPECT_EQ (payloadOf (frame), (Bytes{ 0, 0 })) << what;
        EXPECT_EQ (frame.getFrameIndex(), 0) << what;
        EXPECT_EQ (frame.getFrameCount(), 0) << what;
        EXPECT_EQ (frame.getDataSize(), 0) << what;
        EXPECT_EQ (frame.getData(), nullptr) << what;
    };

    EXPECT_TRUE (FrameMessage (1, 40, 1, 1, data.data(), 64).isValid());
    EXPECT_EQ (FrameMessage (1, 40, 1, 1, data.data(), 64).getDataSize(), 64);
    expectInvalidFrame (FrameMessage (1, 40, 1, 1, data.data(), 65), "65 data bytes");
    expectInvalidFrame (FrameMessage (1, 40, 1, 1, data.data(), 0), "no data");
    expectInvalidFrame (FrameMessage (1, 40, 3, 2, data.data(), 8), "index above count");
    EXPECT_TRUE (FrameMessage (1, 40, 2, 2, data.data(), 8).isValid());
    EXPECT_TRUE (FrameMessage (1, 40, 255, 255, data.data(), 1).isValid());
}

TEST (FrameMessage, ReadsReceivedRepliesDefensively)
{
    juce::Random random (3);

    // A reply frame as the amplifier sends it.
    auto reply = randomBytes (random, 66);
    reply[0] = 3;
    reply[1] = 9;
    const FrameMessage frame (
        SysexMessage::fromMidiMessage (SysexMessage (4, 40, reply.data(), 66).toMidiMessage()));
    EXPECT_EQ (frame.getFrameIndex(), 3);
    EXPECT_EQ (frame.getFrameCount(), 9);
    EXPECT_EQ (frame.getDataSize(), 64);
    EXPECT_EQ (Bytes (frame.getData(), frame.getData() + 64), Bytes (reply.begin() + 2, reply.end()));

    // 256 payload bytes or more: no frame header can be trusted.
    const Bytes big (256, 5);
    const FrameMessage oversized ((SysexMessage (4, 40, big.data(), 256)));
    EXPECT_EQ (oversized.getFrameIndex(), 0);
    EXPECT_EQ (oversized.getFrameCount(), 0);
    EXPECT_EQ (oversized.getDataSize(), 0);
    EXPECT_EQ (FrameMessage (SysexMessage (4, 40, big.data(), 255)).getDataSize(), 253);

    // Too short for a header, or invalid.
    const juce::uint8 one[] = { 7 };
    EXPECT_EQ (FrameMessage (SysexMessage (4, 40, one, 1)).getFrameIndex(), 0);
    EXPECT_EQ (FrameMessage (SysexMessage (4, 40, one, 1)).getData(), nullptr);
    const juce::uint8 headerOnly[] = { 1, 1 };
    const FrameMessage empty ((SysexMessage (4, 40, headerOnly, 2)));
    EXPECT_EQ (empty.getFrameIndex(), 1);
    EXPECT_EQ (empty.getDataSize(), 0);
    EXPECT_EQ (empty.getData(), nullptr);
    EXPECT_EQ (
        FrameMessage (SysexMessage::fromMidiMessage (juce::MidiMessage::noteOn (1, 1, 1.0f))).getFrameIndex(),
        0);
}
