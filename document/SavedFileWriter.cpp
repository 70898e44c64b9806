#include "document/SavedFileWriter.h"

#include "document/SavedFileFormat.h"

namespace
{
// Room for a typical application without regrowing.
constexpr size_t initialTextCapacity = 16384;
constexpr int fileBufferSize = 16384;
} // namespace

juce::MemoryBlock createDocumentFileBytes (const juce::XmlElement& document, bool plainText)
{
    juce::MemoryOutputStream text (initialTextCapacity);
    document.writeTo (text, juce::XmlElement::TextFormat());

    if (plainText)
        return text.getMemoryBlock();

    return scrambleFile (text.getData(), text.getDataSize());
}

FileWriteResult writeDocumentFile (const juce::XmlElement& document, const juce::File& target, bool plainText)
{
    const auto bytes = createDocumentFileBytes (document, plainText);
    juce::TemporaryFile temporary (target);

    {
        auto stream = temporary.getFile().createOutputStream (fileBufferSize);

        if (stream == nullptr)
            return FileWriteResult::cannotOpenTemporary;

        if (!stream->write (bytes.getData(), bytes.getSize()))
            return FileWriteResult::writeFailed;

        stream->flush();

        if (stream->getStatus().failed())
            return FileWriteResult::writeFailed;
    }

    // A rename within the folder: on failure the old file is still there, and the
    // temporary file goes with `temporary`.
    if (!temporary.overwriteTargetFileWithTemporary())
        return FileWriteResult::replaceFailed;

    return FileWriteResult::written;
}

juce::String describeWriteFailure (FileWriteResult result, const juce::File& target)
{
    const auto path = target.getFullPathName();

    switch (result)
    {
        case FileWriteResult::written:
            break;
        case FileWriteResult::cannotOpenTemporary:
            return "The file\n" + path + "\ncould not be created. Please choose another name or folder.";
        case FileWriteResult::writeFailed:
            return "Writing the file\n" + path + "\nfailed. The file on disk is unchanged.";
        case FileWriteResult::replaceFailed:
            return "The file\n" + path + "\ncould not be replaced. The file on disk is unchanged.";
    }

    return {};
}
