#include "updates/VersionCheck.h"
#include "document/WellFormedXml.h"

namespace
{
// The trimmed text of `child` as a decimal integer; 0 when the child is
// missing or its text is not a number that fits.
juce::int32 readRevision (const juce::XmlElement& result, const juce::String& child)
{
    auto* element = findSoapChild (result, child);

    if (element == nullptr)
        return 0;

    auto text = element->getAllSubText().trim();
    auto digits = text.startsWithChar ('-') ? text.substring (1) : text;

    if (digits.isEmpty() || digits.length() > 10 || !digits.containsOnly ("0123456789"))
        return 0;

    auto value = text.getLargeIntValue();

    if (value < std::numeric_limits<juce::int32>::min() || value > std::numeric_limits<juce::int32>::max())
        return 0;

    return (juce::int32)value;
}
} // namespace

VersionCheck::VersionCheck (int ownRevision, const VersionEndpoint& endpointToUse,
                            RequestCanceller* cancellerToUse)
    : endpoint (endpointToUse), canceller (cancellerToUse)
{
    result.serviceReached = fetchVersions();
    result.mustUpdate = false;
    result.updateAvailable = false;

    if (result.serviceReached)
    {
        if (ownRevision < result.earliestCompatibleRevision)
        {
            result.serviceReached = false;
            result.mustUpdate = true;
        }

        if (ownRevision < result.latestRevision)
            result.updateAvailable = true;
    }
}

int VersionCheck::getStatus() const
{
    if (result.mustUpdate)
        return mustUpdate;

    if (result.updateAvailable)
        return updateAvailable;

    if (!result.serviceReached)
        return noAnswer;

    return current;
}

bool readVersionsResult (const juce::String& resultDocument, VersionInfo& info)
{
    info.earliestCompatibleRevision = 0;
    info.latestRevision = 0;

    auto element = parseWellFormedXml (resultDocument.toRawUTF8(), resultDocument.getNumBytesAsUTF8());

    if (element == nullptr || element->getTagName() != "ZeltaGetVersionsAndInfoResult")
        return false;

    info.earliestCompatibleRevision = readRevision (*element, "a:EarliestCompatibleVersion");
    info.latestRevision = readRevision (*element, "a:LatestVersion");
    return true;
}

bool VersionCheck::fetchVersions()
{
    return readVersionsResult (callGetVersionsAndInfo (endpoint, canceller), result);
}
