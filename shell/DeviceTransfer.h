#pragma once

#include <juce_core/juce_core.h>

class QuobCom;

// What the Program road and every synchronisation pass send for one device, and what went wrong
// when it did not arrive. Both prepare the element the same way, so that a pass never sends
// something the Program road would not (repeated EFFECT ids, or a device without its password).
class DeviceTransfer
{
public:
    enum class Outcome
    {
        sent,
        notConnected,
        connectionLost,
        noSettings,
        settingsTooLarge,
        applicationTooLarge,
        stopped // the sending thread was asked to stop
    };

    // A deep copy of the Device element whose CORVADINE child is rebuilt without attributes and
    // without an EFFECT that repeats an earlier EFFECT's Id, whose own Password child is removed
    // and which, with a key, gets a Password element holding it as its first child.
    static std::unique_ptr<juce::XmlElement> prepare (const juce::XmlElement& device,
                                                      const juce::String& passwordKey);

    // Programs the prepared element into the connected amplifier. On any thread; the element
    // must not be read by other threads meanwhile.
    static Outcome send (QuobCom& link, juce::XmlElement& prepared);

    // The sentence that tells the user what happened.
    static juce::String describe (Outcome outcome);
};
