#include "testing/emulated/EmulatorSettings.h"

#include "link/ProductInfoList.h"
#include <cstdlib>

namespace
{
struct FaultSwitch
{
    const char* name;
    bool takesCount;
    void (*apply) (AmplifierEmulator&, int);
};

const FaultSwitch faultSwitches[] = {
    { "no-reply", false, [] (AmplifierEmulator& e, int) { e.setNoReply (true); } },
    { "reply-delay-ms", true, [] (AmplifierEmulator& e, int n) { e.setReplyDelayMs (n); } },
    { "wrong-frame-index", false, [] (AmplifierEmulator& e, int) { e.setWrongFrameIndex (true); } },
    { "short-word-replies", false, [] (AmplifierEmulator& e, int) { e.setShortWordReplies (true); } },
    { "garbage", false, [] (AmplifierEmulator& e, int) { e.setGarbageAroundReplies (true); } },
    { "lost-incoming-frame", true, [] (AmplifierEmulator& e, int n) { e.setLostIncomingFrame (n); } },
    { "lost-reply-frame", true, [] (AmplifierEmulator& e, int n) { e.setLostReplyFrame (n); } },
    { "unplug-after-frames", true, [] (AmplifierEmulator& e, int n) { e.unplugAfterIncomingFrames (n); } },
    { "unplug-after-replies", true, [] (AmplifierEmulator& e, int n) { e.unplugAfterReplies (n); } },
    { "unplug-after-firmware-messages", true,
      [] (AmplifierEmulator& e, int n) { e.unplugAfterFirmwareMessages (n); } },
    // A stream of any other length is refused: the boot loader stays in update mode.
    { "expected-firmware-messages", true,
      [] (AmplifierEmulator& e, int n) { e.setExpectedFirmwareMessages (n); } },
};

const FaultSwitch* findSwitch (const juce::String& name)
{
    for (const auto& s : faultSwitches)
        if (name == s.name)
            return &s;
    return nullptr;
}

// A whole decimal number, or false.
bool parseCount (const juce::String& text, juce::int64 maximum, juce::int64& value)
{
    const auto trimmed = text.trim();
    if (trimmed.isEmpty() || trimmed.length() > 10 || !trimmed.containsOnly ("0123456789"))
        return false;
    value = trimmed.getLargeIntValue();
    return value <= maximum;
}
} // namespace

EmulatorSettings::Environment EmulatorSettings::processEnvironment()
{
    return [] (const char* name)
    {
        const char* value = std::getenv (name);
        return value != nullptr ? juce::String::fromUTF8 (value) : juce::String();
    };
}

juce::StringArray EmulatorSettings::getFaultNames()
{
    juce::StringArray names;
    for (const auto& s : faultSwitches)
        names.add (juce::String (s.name) + (s.takesCount ? "=N" : ""));
    return names;
}

juce::String EmulatorSettings::read (const Environment& environment)
{
    if (const auto text = environment ("VANTOREL_EMULATOR_MODEL"); text.isNotEmpty())
        model = text;

    if (const auto text = environment ("VANTOREL_EMULATOR_MODE"); text.isNotEmpty())
    {
        if (text == "application")
            mode = AmplifierEmulator::Mode::application;
        else if (text == "update")
            mode = AmplifierEmulator::Mode::update;
        else if (text == "unplugged")
            mode = AmplifierEmulator::Mode::unplugged;
        else
            return "VANTOREL_EMULATOR_MODE must be application, update or unplugged, not \"" + text + "\"";
    }

    const struct
    {
        const char* name;
        juce::uint32& target;
    } words[] = { { "VANTOREL_EMULATOR_REVISION", revision },
                  { "VANTOREL_EMULATOR_REVISION_AFTER_UPDATE", revisionAfterUpdate },
                  { "VANTOREL_EMULATOR_SERIAL", serialNumber } };

    for (const auto& word : words)
    {
        const auto text = environment (word.name);
        juce::int64 value = 0;
        if (text.isEmpty())
            continue;
        if (!parseCount (text, 0xffffffffLL, value))
            return juce::String (word.name) + " must be a whole number from 0 to 4294967295, not \"" + text +
                   "\"";
        word.target = (juce::uint32)value;
    }

    return readFaults (environment ("VANTOREL_EMULATOR_FAULTS"));
}

juce::String EmulatorSettings::readFaults (const juce::String& text)
{
    faults.clear();

    for (const auto& item : juce::StringArray::fromTokens (text, ",", ""))
    {
        const auto entry = item.trim();
        if (entry.isEmpty())
            continue;

        const auto name = entry.upToFirstOccurrenceOf ("=", false, false).trim();
        const auto* fault = findSwitch (name);
        if (fault == nullptr)
            return "unknown fault \"" + name + "\"; known: " + getFaultNames().joinIntoString (", ");

        juce::int64 count = 0;
        if (fault->takesCount != entry.containsChar ('=') ||
            (fault->takesCount &&
             !parseCount (entry.fromFirstOccurrenceOf ("=", false, false), 0x7fffffff, count)))
            return "fault \"" + entry + "\" must be written " + (fault->takesCount ? name + "=N" : name);

        faults.push_back ({ name, (int)count });
    }

    return {};
}

bool EmulatorSettings::findIdentity (const ProductInfoList& products,
                                     AmplifierEmulator::Identity& identity) const
{
    for (int i = 0; i < products.size(); ++i)
    {
        const auto* product = products.getProduct (i);
        if (product->getName() == model)
        {
            identity = { product->getMidiPortName(), product->getAppProductId(), product->getBootProductId(),
                         product->getModelId() };
            return true;
        }
    }
    return false;
}

void EmulatorSettings::applyTo (AmplifierEmulator& emulator) const
{
    emulator.setFirmwareRevision (revision);
    emulator.setRevisionAfterUpdate (revisionAfterUpdate);
    emulator.setSerialNumber (serialNumber);

    for (const auto& fault : faults)
        findSwitch (fault.name)->apply (emulator, fault.value);
}
