#pragma once

#include "link/SysexMessage.h"

// One numbered frame of a block: the payload is frame index, frame count, then 1 to 64 data bytes.
// Frames are numbered from 1; index and count are single bytes, so a block has at most 255 frames.
class FrameMessage : public SysexMessage
{
public:
    static constexpr int maxDataSize = 64;
    static constexpr int maxFrames = 255;

    // Valid when 1 <= length <= 64 and index <= count; an invalid frame carries the payload 0, 0.
    FrameMessage (juce::uint8 modelId, juce::uint8 command, juce::uint8 frameIndex, juce::uint8 frameCount,
                  const void* data, int length);

    // A received message read as a frame; nothing is checked here, the accessors do that.
    explicit FrameMessage (const SysexMessage& message);
    explicit FrameMessage (SysexMessage&& message) noexcept;

    // 0 (or null) unless the message is valid and its payload holds 2 to 255 bytes.
    juce::uint8 getFrameIndex() const noexcept;
    juce::uint8 getFrameCount() const noexcept;
    juce::uint8 getDataSize() const noexcept;
    // Null unless valid with more than 2 payload bytes.
    const juce::uint8* getData() const noexcept;

private:
    bool hasFrameHeader() const noexcept;
};
