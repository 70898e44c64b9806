// Feeds arbitrary bytes to the reader of the version service's answer, as whoever answers the
// service's plain HTTP address may send them, and checks what must hold for every input.
#include <cstdint>
#include <cstdlib>
#include "document/WellFormedXml.h"
#include "updates/VersionCheck.h"

namespace
{
void check (bool condition)
{
    if (!condition)
        std::abort();
}

juce::MemoryBlock bytesOf (const juce::String& text)
{
    return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto result = readSoapResult (juce::MemoryBlock (data, size));

    VersionInfo info;
    info.earliestCompatibleRevision = info.latestRevision = -1;
    const bool read = readVersionsResult (result, info);
    if (!read)
        check (info.earliestCompatibleRevision == 0 && info.latestRevision == 0);

    if (result.isEmpty())
        return 0;

    // A result comes only from a well-formed answer, and is itself one, so that its revisions are
    // read from it.
    const auto answer = parseWellFormedXml (data, size);
    check (answer != nullptr);
    check (parseWellFormedXml (result.toRawUTF8(), result.getNumBytesAsUTF8()) != nullptr);

    // The same answer written out by the framework (other line breaks and layout) gives the same
    // revisions.
    VersionInfo rewritten;
    check (readVersionsResult (readSoapResult (bytesOf (answer->toString())), rewritten) == read);
    check (rewritten.earliestCompatibleRevision == info.earliestCompatibleRevision &&
           rewritten.latestRevision == info.latestRevision);
    return 0;
}
