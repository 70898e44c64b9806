#include "shell/PasswordKey.h"

juce::String makePasswordKey (const juce::String& password, juce::uint32 serialNumber)
{
    juce::MemoryBlock bytes (password.toRawUTF8(), password.getNumBytesAsUTF8());
    const auto salt = (juce::uint8) (serialNumber & 0xff);
    bytes.append (&salt, 1);

    const auto n = bytes.getSize();
    const auto stride = n / 10 + 1;
    juce::uint32 hash = 2166136261u;

    // Long texts take part only every stride-th byte; bytes from 0x80 up count with their sign.
    for (size_t i = 0; i < n; i += stride)
        hash = (hash * 16777619u) ^ (juce::uint32) (juce::int32) (juce::int8)bytes[i];

    return juce::String (hash);
}
