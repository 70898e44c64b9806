#include "updates/VersionCheck.h"

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

bool VersionCheck::fetchVersions()
{
    result.earliestCompatibleRevision = 0;
    result.latestRevision = 0;

    auto text = callGetVersionsAndInfo (endpoint, canceller);

    if (text.isEmpty())
        return false;

    auto element = juce::parseXML (text);

    if (element == nullptr || element->getTagName() != "ZeltaGetVersionsAndInfoResult")
        return false;

    result.earliestCompatibleRevision = readRevision (*element, "a:EarliestCompatibleVersion");
    result.latestRevision = readRevision (*element, "a:LatestVersion");
    return true;
}
