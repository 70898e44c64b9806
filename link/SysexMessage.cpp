#include "link/SysexMessage.h"
#include "link/SysexPacking.h"

SysexMessage::SysexMessage (juce::uint8 model, juce::uint8 commandByte, const void* data, int length)
    : modelId (model), command (commandByte)
{
    if (length < 0 || (length > 0 && data == nullptr))
        return;

    payload.addArray (static_cast<const juce::uint8*> (data), length);
    valid = length <= maxPayloadSize;
}

SysexMessage::SysexMessage (juce::uint8 model, juce::uint8 commandByte, juce::uint8 byte0, juce::uint8 byte1,
                            const void* data, int length)
    : modelId (model), command (commandByte)
{
    if (length < 2 || length > maxPayloadSize || (length > 2 && data == nullptr))
        return;

    payload.ensureStorageAllocated (length);
    payload.add (byte0);
    payload.add (byte1);
    payload.addArray (static_cast<const juce::uint8*> (data), length - 2);
    valid = true;
}

SysexMessage SysexMessage::fromMidiMessage (const juce::MidiMessage& message)
{
    SysexMessage result;

    const auto* raw = message.getRawData();
    const int size = message.getRawDataSize();

    if (raw == nullptr || size < headerSize + 1 || size > maxReceivedSize)
        return result;
    if (raw[size - 1] != 0xf7)
        return result;
    if (std::memcmp (raw, header, sizeof (header)) != 0)
        return result;
    // Between F0 and F7 every byte is below 0x80: a higher one is a status byte, so the message was
    // cut by another and its bytes are not the amplifier's payload.
    for (int i = 1; i < size - 1; ++i)
        if (raw[i] >= 0x80)
            return result;

    result.modelId = raw[5];
    result.command = raw[6];

    const int packedLength = size - (headerSize + 1);
    if (packedLength > 0)
    {
        // Unpacking never yields more bytes than it reads; the payload is allocated once.
        juce::uint8 unpacked[maxReceivedSize];
        const int length = unpack7to8 (unpacked, raw + headerSize, packedLength);
        result.payload.addArray (static_cast<const juce::uint8*> (unpacked), length);
    }

    result.valid = true;
    return result;
}

juce::MidiMessage SysexMessage::toMidiMessage() const
{
    const int size = headerSize + packedSize (payload.size()) + 1;

    // Valid messages fit the stack buffer; only an invalid oversized one needs the heap.
    juce::uint8 local[headerSize + packedSize (maxPayloadSize) + 1];
    juce::HeapBlock<juce::uint8> heap;
    auto* wire = local;
    if (size > (int)sizeof (local))
    {
        heap.malloc (size);
        wire = heap.get();
    }

    std::memcpy (wire, header, sizeof (header));
    wire[5] = modelId;
    wire[6] = command;
    pack8to7 (wire + headerSize, payload.getRawDataPointer(), payload.size());
    wire[size - 1] = 0xf7;

    return juce::MidiMessage (wire, size, 0.0);
}
