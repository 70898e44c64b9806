#include "link/FrameMessage.h"

FrameMessage::FrameMessage (juce::uint8 model, juce::uint8 commandByte, juce::uint8 frameIndex,
                            juce::uint8 frameCount, const void* data, int length)
    : SysexMessage (model, commandByte, frameIndex, frameCount, data, length + 2)
{
    if (length < 1 || length > maxDataSize || frameIndex > frameCount || data == nullptr)
    {
        payload.clearQuick();
        payload.add (0);
        payload.add (0);
        valid = false;
    }
}

FrameMessage::FrameMessage (const SysexMessage& message) : SysexMessage (message) {}

FrameMessage::FrameMessage (SysexMessage&& message) noexcept : SysexMessage (std::move (message)) {}

bool FrameMessage::hasFrameHeader() const noexcept
{
    return valid && payload.size() >= 2 && payload.size() < 256;
}

juce::uint8 FrameMessage::getFrameIndex() const noexcept
{
    return hasFrameHeader() ? payload.getUnchecked (0) : (juce::uint8)0;
}

juce::uint8 FrameMessage::getFrameCount() const noexcept
{
    return hasFrameHeader() ? payload.getUnchecked (1) : (juce::uint8)0;
}

juce::uint8 FrameMessage::getDataSize() const noexcept
{
    return hasFrameHeader() ? (juce::uint8) (payload.size() - 2) : (juce::uint8)0;
}

const juce::uint8* FrameMessage::getData() const noexcept
{
    return valid && payload.size() > 2 ? payload.getRawDataPointer() + 2 : nullptr;
}
