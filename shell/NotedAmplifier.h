#pragma once

#include "shell/AmplifierIdentity.h"

// The amplifier a device road starts with, noted with the revision and serial number read for
// its connection. The road's windows run the message loop, during which the amplifier can be
// unplugged or replaced by another; right before its transfer the road checks again that it still
// talks to the amplifier it noted. Message thread.
class NotedAmplifier
{
public:
    enum class Check
    {
        same,         // still the noted amplifier, of the device's family
        notConnected, // none was connected when noted, nor is now
        changed,      // unplugged, replaced or newly plugged in since it was noted
        otherFamily   // the noted amplifier, of another family than the device
    };

    static constexpr const char* changedText = "The connected amplifier changed while a window was open.";

    NotedAmplifier (const VantorelCom& link, const AmplifierIdentity& identity);

    // 0 when not read (the amplifier did not answer, or has not been asked yet).
    juce::uint32 getRevision() const { return reading.revision; }
    juce::uint32 getSerialNumber() const { return reading.serialNumber; }

    // The amplifier connected now against the noted one, for a device of the family.
    Check check (int family) const;

private:
    const VantorelCom& link;
    const juce::uint32 connection;
    const bool wasConnected;
    const AmplifierIdentity::Reading reading;
};
