#include "shell/DeviceTransfer.h"
#include "document/CorvadineXmlToSyx.h"
#include "document/ProgramRevision.h"
#include "link/ApplicationPayload.h"
#include "link/QuobCom.h"

#include <set>

namespace
{
const char* const settingsTag = "CORVADINE";
const char* const passwordTag = "Password";

std::unique_ptr<juce::XmlElement> withoutRepeatedEffects (const juce::XmlElement& settings)
{
    auto rebuilt = std::make_unique<juce::XmlElement> (settings.getTagName());
    std::set<int> effectIds;

    for (auto* child : settings.getChildIterator())
        if (!child->hasTagName ("EFFECT") || effectIds.insert (child->getIntAttribute ("Id", 0)).second)
            rebuilt->addChildElement (new juce::XmlElement (*child));

    return rebuilt;
}

// Why a send failed: the link says only that it did. What it was given is checked; when that was
// fine, the amplifier went away or its port failed.
DeviceTransfer::Outcome diagnose (const juce::XmlElement& prepared)
{
    auto* settings = prepared.getChildByName (settingsTag);
    if (settings == nullptr)
        return DeviceTransfer::Outcome::noSettings;

    juce::MemoryOutputStream block;
    if (!CorvadineXmlToSyx (*settings).convertAndWrite (block) ||
        (int)block.getDataSize() > QuobCom::maxBlockSize)
        return DeviceTransfer::Outcome::settingsTooLarge;

    juce::XmlElement rest (prepared);
    rest.removeChildElement (rest.getChildByName (settingsTag), true);
    if ((int)createApplicationPayload (rest, programRevision).getSize() > QuobCom::maxBlockSize)
        return DeviceTransfer::Outcome::applicationTooLarge;

    return DeviceTransfer::Outcome::connectionLost;
}
} // namespace

std::unique_ptr<juce::XmlElement> DeviceTransfer::prepare (const juce::XmlElement& device,
                                                           const juce::String& passwordKey)
{
    auto copy = std::make_unique<juce::XmlElement> (device);

    if (auto* settings = copy->getChildByName (settingsTag))
        copy->replaceChildElement (settings, withoutRepeatedEffects (*settings).release());

    if (auto* oldPassword = copy->getChildByName (passwordTag))
        copy->removeChildElement (oldPassword, true);

    if (passwordKey.isNotEmpty())
    {
        auto* password = new juce::XmlElement (passwordTag);
        password->setAttribute ("value", passwordKey);
        copy->insertChildElement (password, 0);
    }

    return copy;
}

DeviceTransfer::Outcome DeviceTransfer::send (QuobCom& link, juce::XmlElement& prepared)
{
    if (link.getLinkState() != BaseCom::connected)
        return Outcome::notConnected;

    if (link.sendApplication (prepared))
        return Outcome::sent;

    if (juce::Thread::currentThreadShouldExit())
        return Outcome::stopped;

    return diagnose (prepared);
}

juce::String DeviceTransfer::describe (Outcome outcome)
{
    switch (outcome)
    {
        case Outcome::sent:
            return "The settings were sent to the amplifier.";
        case Outcome::notConnected:
            return "No amplifier is connected.";
        case Outcome::connectionLost:
            return "The connection to the amplifier was lost during the transfer.";
        case Outcome::noSettings:
            return "The selected amplifier has no settings to send.";
        case Outcome::settingsTooLarge:
            return "The settings do not fit into the amplifier's settings memory.";
        case Outcome::applicationTooLarge:
            return "The amplifier's labels and page settings are too large to be stored in it.";
        case Outcome::stopped:
            return "The transfer was stopped before it ended.";
    }

    return {};
}
