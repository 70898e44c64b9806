#include "link/ApplicationPayload.h"

namespace
{
// A payload is at most one block (16320 bytes); deflate expands at most about a thousandfold, but
// no application text comes near this, so a bigger output is not ours.
constexpr juce::int64 maxTextBytes = 4 * 1024 * 1024;
} // namespace

juce::MemoryBlock createApplicationPayload (const juce::XmlElement& element, int revision)
{
    juce::MemoryOutputStream payload;
    {
        // windowBits 0: the zlib format with a 15-bit window; -1: the default level.
        juce::GZIPCompressorOutputStream zip (payload, -1, 0);
        zip.writeInt (revision);
        const auto text = element.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
        zip.write (text.toRawUTF8(), text.getNumBytesAsUTF8());
        zip.writeByte (0);
        zip.flush();
    }
    return payload.getMemoryBlock();
}

std::unique_ptr<juce::XmlElement> parseApplicationPayload (const juce::MemoryBlock& payload, int* revision)
{
    juce::MemoryInputStream compressed (payload, false);
    juce::GZIPDecompressorInputStream unzip (compressed);

    juce::MemoryOutputStream content;
    char buffer[4096];
    for (;;)
    {
        const int numRead = unzip.read (buffer, (int)sizeof (buffer));
        if (numRead <= 0)
            break;
        content.write (buffer, (size_t)numRead);
        if ((juce::int64)content.getDataSize() > maxTextBytes)
            return nullptr;
    }

    if (content.getDataSize() < 5)
        return nullptr;

    const auto* bytes = static_cast<const char*> (content.getData());
    if (revision != nullptr)
        *revision = (int)juce::ByteOrder::littleEndianInt (bytes);

    // The text ends at its NUL; a payload without one ends with its last byte.
    const auto* text = bytes + 4;
    const auto textSize = content.getDataSize() - 4;
    const auto* nul = static_cast<const char*> (std::memchr (text, 0, textSize));
    const auto length = nul != nullptr ? (size_t)(nul - text) : textSize;

    return juce::parseXML (juce::String::fromUTF8 (text, (int)length));
}
