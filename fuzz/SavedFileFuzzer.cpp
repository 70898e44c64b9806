// Feeds arbitrary bytes to the saved-file reader, as a file in the applications
// folder might hold, and checks the properties that must hold for every input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "document/SavedFileFormat.h"

namespace
{
void check (bool condition)
{
    if (!condition)
        std::abort();
}

// MemoryBlock's own comparison hands null pointers to memcmp for empty blocks.
bool sameBytes (const juce::MemoryBlock& a, const juce::MemoryBlock& b)
{
    return a.getSize() == b.getSize() &&
           (a.getSize() == 0 || std::memcmp (a.getData(), b.getData(), a.getSize()) == 0);
}

bool isGood (const SavedFileContents& contents)
{
    // A document comes back exactly when the result says ok.
    check ((contents.result == SavedFileResult::ok) == (contents.document != nullptr));
    return contents.result == SavedFileResult::ok;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const juce::MemoryBlock input (data, size);
    const auto contents = readSavedFile (input);
    const bool good = isGood (contents);

    if (size == 0)
        check (contents.result == SavedFileResult::emptyFile);

    // Scrambling keeps every byte: scramble (unscramble (file)) gives the file back,
    // and unscramble (scramble (text)) the text.
    if (hasScrambledFileHeader (input))
    {
        const auto body = unscrambleFile (input);
        check (body.getSize() == size - scrambledFileHeaderSize);
        check (sameBytes (scrambleFile (body.getData(), body.getSize()), input));
    }

    const auto scrambled = scrambleFile (data, size);
    check (hasScrambledFileHeader (scrambled));
    check (sameBytes (unscrambleFile (scrambled), input));

    // Plain text and its scrambled file read alike.
    if (size > 0 && !hasScrambledFileHeader (input))
    {
        const auto fromScrambled = readSavedFile (scrambled);
        check (isGood (fromScrambled) == good);
        if (good)
            check (fromScrambled.document->isEquivalentTo (contents.document.get(), false));
    }

    // Whatever the reader accepts, the program writes back in a form it accepts again.
    if (good)
    {
        const auto text = contents.document->toString();
        check (isGood (readSavedFile (scrambleFile (text.toRawUTF8(), text.getNumBytesAsUTF8()))));
    }

    return 0;
}
