// Feeds arbitrary bytes, as they might arrive on the amplifier's MIDI input, to the receive parser
// and the frame accessors, and checks what the link relies on: a rejected message is blank, an
// accepted one re-encodes to the same payload, and frame data never reaches past the payload.
#include <cstdint>
#include <cstdlib>
#include <vector>
#include "link/FrameMessage.h"
#include "link/SysexPacking.h"

namespace
{
void check (bool condition)
{
    if (!condition)
        std::abort();
}

void checkFrame (const SysexMessage& message)
{
    const FrameMessage frame (message);
    const int payloadSize = message.getPayload().size();

    if (frame.getFrameIndex() != 0 || frame.getFrameCount() != 0 || frame.getDataSize() != 0)
        check (message.isValid() && payloadSize >= 2 && payloadSize < 256);
    check (frame.getDataSize() == 0 || frame.getDataSize() == payloadSize - 2);

    if (const auto* data = frame.getData())
    {
        // Touch every byte the link may copy out; the sanitizer catches a read past the payload.
        unsigned sum = 0;
        for (int i = 0; i < payloadSize - 2; ++i)
            sum += data[i];
        check (sum <= 255u * (unsigned)payloadSize);
    }
}

void checkPacking (const uint8_t* data, size_t size)
{
    const int length = (int)std::min<size_t> (size, 1024);

    // Unpacking any stretch writes at most as many bytes as it reads.
    std::vector<juce::uint8> unpacked ((size_t)length);
    check (unpack7to8 (unpacked.data(), data, length) <= length);

    // Packing then unpacking gives the bytes back.
    std::vector<juce::uint8> wire ((size_t)packedSize (length));
    check (pack8to7 (wire.data(), data, length) == packedSize (length));
    for (auto byte : wire)
        check (byte < 0x80);
    std::vector<juce::uint8> back (wire.size());
    check (unpack7to8 (back.data(), wire.data(), (int)wire.size()) == length);
    check (std::equal (back.begin(), back.begin() + length, data));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    checkPacking (data, size);

    if (size == 0 || size > 4096)
        return 0;

    const juce::MidiMessage incoming (data, (int)size, 0.0);
    const auto parsed = SysexMessage::fromMidiMessage (incoming);

    if (!parsed.isValid())
    {
        check (parsed.getModelId() == 0 && parsed.getCommand() == 0 && parsed.getPayload().isEmpty());
        check (FrameMessage (parsed).getData() == nullptr);
        return 0;
    }

    check (size >= 8 && size <= 512 && data[size - 1] == 0xf7);
    check (parsed.getModelId() == data[5] && parsed.getCommand() == data[6]);
    check (parsed.getPayload().size() <= (int)size - 8);
    checkFrame (parsed);

    // What the link would send for the same content parses back to it: re-encoding never makes
    // the message longer than the one that came in.
    const auto again = SysexMessage::fromMidiMessage (parsed.toMidiMessage());
    check (again.isValid());
    check (again.getPayload() == parsed.getPayload());
    checkFrame (again);

    return 0;
}
