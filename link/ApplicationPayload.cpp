#include "link/ApplicationPayload.h"
#include "document/WellFormedXml.h"

namespace
{
// A payload is at most one block (16320 bytes); deflate expands at most about a thousandfold, but
// no application text comes near this, so a bigger output is not ours.
constexpr juce::int64 maxTextBytes = 4 * 1024 * 1024;

// JUCE writes an element that follows text in its parent as if it were indented, and in a
// single-line format that reaches for the missing line break, a null pointer, and crashes. So
// each element's own tag is written alone and its children are walked here.
void writeSingleLine (const juce::XmlElement& element, juce::OutputStream& output)
{
    const auto format = juce::XmlElement::TextFormat().singleLine().withoutHeader();
    if (element.getNumChildElements() == 0) // a text, or an element written as <tag .../>
    {
        element.writeTo (output, format);
        return;
    }

    juce::XmlElement tag (element.getTagName());
    for (int i = 0; i < element.getNumAttributes(); ++i)
        tag.setAttribute (element.getAttributeName (i), element.getAttributeValue (i));
    juce::MemoryOutputStream emptyTag;
    tag.writeTo (emptyTag, format);
    output.write (emptyTag.getData(), emptyTag.getDataSize() - 2); // without the "/>"
    output << ">";

    for (const auto* child : element.getChildIterator())
        writeSingleLine (*child, output);

    output << "</" << element.getTagName() << ">";
}
} // namespace

juce::MemoryBlock createApplicationPayload (const juce::XmlElement& element, int revision)
{
    juce::MemoryOutputStream text;
    writeSingleLine (element, text);
    return createApplicationPayload (text.getData(), text.getDataSize(), revision);
}

juce::MemoryBlock createApplicationPayload (const void* text, size_t size, int revision)
{
    juce::MemoryOutputStream payload;
    {
        // windowBits 0: the zlib format with a 15-bit window; -1: the default level.
        juce::GZIPCompressorOutputStream zip (payload, -1, 0);
        zip.writeInt (revision);
        zip.write (text, size);
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

    // The parser recurses per nesting level, expands a doctype's entities, hangs on some texts and
    // runs past the end of a broken UTF-8 sequence: only strictly encoded, well-formed documents,
    // nested no deeper than any application, reach it. What this program writes always is one.
    return parseWellFormedXml (text, length);
}
