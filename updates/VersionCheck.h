#pragma once

#include "updates/SoapClient.h"

// What the version service said.
struct VersionInfo
{
    bool serviceReached = false;
    bool mustUpdate = false;
    bool updateAvailable = false;
    juce::int32 earliestCompatibleRevision = 0;
    juce::int32 latestRevision = 0;
};

// Reads the two revisions from a result document (callGetVersionsAndInfo's text); false when it is
// not the operation's result. A missing or unreadable revision reads as 0.
bool readVersionsResult (const juce::String& resultDocument, VersionInfo& info);

// Asks the version service once, at construction, whether this revision is
// still compatible and whether a newer one exists. Synchronous, for up to the
// endpoint's time-out; another thread may end it early through the canceller,
// which gives "no answer".
class VersionCheck
{
public:
    enum Status
    {
        current = 0,
        updateAvailable = 1,
        mustUpdate = 2,
        noAnswer = 3
    };

    explicit VersionCheck (int ownRevision, const VersionEndpoint& endpoint = VersionEndpoint::builtIn(),
                           RequestCanceller* canceller = nullptr);

    // One of Status.
    int getStatus() const;

    const VersionInfo& getInfo() const { return result; }

    // The exchange with the service; fills the two revisions. False when the
    // service did not answer or its answer did not have the expected shape.
    bool fetchVersions();

private:
    VersionEndpoint endpoint;
    RequestCanceller* canceller;
    VersionInfo result;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VersionCheck)
};
