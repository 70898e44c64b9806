#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// One System Exclusive message of the amplifier: F0 00 3A 5C 00, model id, command, the payload
// packed 8-to-7, F7. There is no length field and no checksum.
class SysexMessage
{
public:
    static constexpr int maxPayloadSize = 512;
    // Received messages longer than this are not ours.
    static constexpr int maxReceivedSize = 512;
    static constexpr int headerSize = 7; // F0, maker id, 00, model, command
    static constexpr juce::uint8 header[] = { 0xf0, 0x00, 0x3a, 0x5c, 0x00 };

    SysexMessage() = default;

    // Valid when length is 0 to 512.
    SysexMessage (juce::uint8 modelId, juce::uint8 command, const void* data, int length);

    // length counts the two leading bytes: valid with the payload byte0, byte1, data when
    // 2 <= length <= 512; otherwise invalid with an empty payload.
    SysexMessage (juce::uint8 modelId, juce::uint8 command, juce::uint8 byte0, juce::uint8 byte1,
                  const void* data, int length);

    virtual ~SysexMessage() = default;

    SysexMessage (const SysexMessage&) = default;
    SysexMessage& operator= (const SysexMessage&) = default;
    SysexMessage (SysexMessage&&) noexcept = default;
    SysexMessage& operator= (SysexMessage&&) noexcept = default;

    // Parses anything that arrives on the MIDI input. A message that is not ours gives an invalid
    // message with model 0, command 0 and an empty payload.
    static SysexMessage fromMidiMessage (const juce::MidiMessage& message);

    // The wire bytes (time stamp 0).
    juce::MidiMessage toMidiMessage() const;

    juce::uint8 getModelId() const noexcept { return modelId; }
    juce::uint8 getCommand() const noexcept { return command; }
    const juce::Array<juce::uint8>& getPayload() const noexcept { return payload; }
    bool isValid() const noexcept { return valid; }

    // Only for the device link, which blanks replies it does not accept.
    void invalidate() noexcept
    {
        command = 0;
        valid = false;
    }

protected:
    juce::uint8 modelId = 0;
    juce::uint8 command = 0;
    juce::Array<juce::uint8> payload;
    bool valid = false;
};
