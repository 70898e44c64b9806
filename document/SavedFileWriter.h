#pragma once

#include <juce_core/juce_core.h>

// Writing a document to its file without ever leaving a half-written file: the
// bytes go to a temporary file beside the target, which then replaces it.

enum class FileWriteResult
{
    written = 0,
    cannotOpenTemporary, // nothing was written; the target is unchanged
    writeFailed,         // the temporary file was removed; the target is unchanged
    replaceFailed        // the temporary file was removed; the target is unchanged
};

// Writes the document as XML text (XML header, UTF-8, lines wrapped at 60
// columns, no DTD), scrambled with the saved-file header unless `plainText`.
FileWriteResult writeDocumentFile (const juce::XmlElement& document, const juce::File& target,
                                   bool plainText);

// The bytes writeDocumentFile puts into the file.
juce::MemoryBlock createDocumentFileBytes (const juce::XmlElement& document, bool plainText);

// What the user is told when writing `target` failed; empty for `written`.
juce::String describeWriteFailure (FileWriteResult result, const juce::File& target);
