#include "document/SavedFileFormat.h"
#include "document/WellFormedXml.h"

namespace
{
const juce::uint8 fileHeader[scrambledFileHeaderSize] = { 'Z', 'E', 'L', 'T', 'A', 0 };
constexpr juce::uint8 scrambleKey = 0xc7;

// Far beyond any application or preset; keeps a stray huge file from being loaded whole.
constexpr juce::int64 maxSavedFileSize = 64 * 1024 * 1024;

SavedFileContents failed (SavedFileResult result)
{
    return { result, nullptr };
}
} // namespace

void scrambleFileBytes (const void* text, size_t numBytes, void* dest)
{
    auto* in = static_cast<const juce::uint8*> (text);
    auto* out = static_cast<juce::uint8*> (dest);
    for (size_t i = 0; i < numBytes; ++i)
        out[i] = (juce::uint8) ((juce::uint8) (in[i] + (juce::uint8)i) ^ scrambleKey);
}

void unscrambleFileBytes (const void* body, size_t numBytes, void* dest)
{
    auto* in = static_cast<const juce::uint8*> (body);
    auto* out = static_cast<juce::uint8*> (dest);
    for (size_t i = 0; i < numBytes; ++i)
        out[i] = (juce::uint8) ((in[i] ^ scrambleKey) - (juce::uint8)i);
}

juce::MemoryBlock scrambleFile (const void* text, size_t numBytes)
{
    if (text == nullptr)
        numBytes = 0;

    juce::MemoryBlock file (scrambledFileHeaderSize + numBytes);
    auto* out = static_cast<juce::uint8*> (file.getData());
    std::memcpy (out, fileHeader, scrambledFileHeaderSize);
    scrambleFileBytes (text, numBytes, out + scrambledFileHeaderSize);
    return file;
}

juce::MemoryBlock unscrambleFile (const juce::MemoryBlock& wholeFile)
{
    if (wholeFile.getSize() < scrambledFileHeaderSize)
        return {};

    const auto bodySize = wholeFile.getSize() - scrambledFileHeaderSize;
    juce::MemoryBlock text (bodySize);
    unscrambleFileBytes (static_cast<const juce::uint8*> (wholeFile.getData()) + scrambledFileHeaderSize,
                         bodySize, text.getData());
    return text;
}

bool hasScrambledFileHeader (const juce::MemoryBlock& wholeFile)
{
    return wholeFile.getSize() >= scrambledFileHeaderSize &&
           std::memcmp (wholeFile.getData(), fileHeader, scrambledFileHeaderSize) == 0;
}

SavedFileContents readSavedFile (const juce::MemoryBlock& wholeFile)
{
    if (wholeFile.getSize() == 0)
        return failed (SavedFileResult::emptyFile);
    if ((juce::int64)wholeFile.getSize() > maxSavedFileSize)
        return failed (SavedFileResult::cannotRead);

    const auto notXml =
        wholeFile.getSize() < scrambledFileHeaderSize ? SavedFileResult::tooShort : SavedFileResult::notXml;

    juce::MemoryBlock body;
    const juce::MemoryBlock* textBytes = &wholeFile;
    if (hasScrambledFileHeader (wholeFile))
    {
        body = unscrambleFile (wholeFile);
        textBytes = &body;
    }

    // The text would end at a zero byte and hide whatever follows it; no XML text holds one.
    if (!textBytes->isEmpty() && std::memchr (textBytes->getData(), 0, textBytes->getSize()) != nullptr)
        return failed (notXml);

    // The framework reads one byte past a text that is nothing but a UTF-8 byte order mark.
    if (textBytes->getSize() == 3 && juce::CharPointer_UTF8::isByteOrderMark (textBytes->getData()))
        return failed (notXml);

    const auto text = juce::String::createStringFromData (textBytes->getData(), (int)textBytes->getSize());

    if (!isWellFormedXmlDocument (text))
        return failed (notXml);

    // Parsed from the text, never from a file, so that nothing outside the text is read.
    juce::XmlDocument parser (text);
    std::unique_ptr<juce::XmlElement> document (parser.getDocumentElement());
    if (document == nullptr || parser.getLastParseError().isNotEmpty())
        return failed (notXml);

    return { SavedFileResult::ok, std::move (document) };
}

SavedFileContents readSavedFile (const juce::File& file)
{
    if (!file.existsAsFile() || file.getSize() > maxSavedFileSize)
        return failed (SavedFileResult::cannotRead);

    juce::MemoryBlock wholeFile;
    if (!file.loadFileAsData (wholeFile))
        return failed (SavedFileResult::cannotRead);

    return readSavedFile (wholeFile);
}
