#pragma once

#include <juce_core/juce_core.h>
#include <memory>

// Saved application and EQ preset files: a six-byte header ("ZELTA" and a zero
// byte) followed by the UTF-8 XML text, scrambled byte by byte. A file without the
// header is plain XML text and is read as it is.

constexpr const char* applicationFileExtension = "sapl";
constexpr const char* eqPresetFileExtension = "spre";
constexpr size_t scrambledFileHeaderSize = 6;

// Writes the scrambled form of numBytes text bytes to dest (numBytes bytes).
void scrambleFileBytes (const void* text, size_t numBytes, void* dest);
// Writes the text of numBytes scrambled body bytes to dest (numBytes bytes).
void unscrambleFileBytes (const void* body, size_t numBytes, void* dest);

// The header followed by the scrambled text: numBytes + 6 bytes.
juce::MemoryBlock scrambleFile (const void* text, size_t numBytes);
// The text of a whole scrambled file (header included, not checked): its size - 6
// bytes; empty for a block shorter than the header.
juce::MemoryBlock unscrambleFile (const juce::MemoryBlock& wholeFile);
// True when the block begins with all six header bytes.
bool hasScrambledFileHeader (const juce::MemoryBlock& wholeFile);

enum class SavedFileResult
{
    ok = 0,
    cannotRead, // the file is missing or could not be read
    emptyFile,  // no bytes at all
    tooShort,   // shorter than the header and not XML either
    notXml      // the text is not one complete, well-formed XML document
};

struct SavedFileContents
{
    SavedFileResult result = SavedFileResult::cannotRead;
    std::unique_ptr<juce::XmlElement> document; // set only for ok
};

// Reads a whole saved file, scrambled or plain. A document comes back only when the
// whole text is well-formed: a text cut short, a doctype, an unknown entity or
// nesting deeper than any settings document are refused.
SavedFileContents readSavedFile (const juce::MemoryBlock& wholeFile);
SavedFileContents readSavedFile (const juce::File& file);
