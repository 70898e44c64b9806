#include "testing/emulated/EmulatorSettings.h"

#include <cstdlib>

namespace
{
using Fault = AmplifierEmulator::Fault;

// A fault of the emulator, or (with apply) one of its other switches. A fault with a command
// fault takes its count as N or as C:N, which narrows it to command C.
struct FaultSwitch
{
    const char* name;
    bool takesCount;
    Fault fault;
    void (*apply) (AmplifierEmulator&, int) = nullptr;
    Fault commandFault = Fault::numFaults;
};

const FaultSwitch faultSwitches[] = {
    { "no-reply", false, Fault::noReply },
    { "reply-delay-ms", true, Fault::replyDelayMs },
    { "wrong-frame-index", false, Fault::wrongFrameIndex },
    { "short-word-replies", false, Fault::shortWordReplies },
    { "garbage", false, Fault::garbage },
    { "duplicate-replies", false, Fault::duplicateReplies },
    { "stale-replies", false, Fault::staleReplies },
    { "wrong-model-byte", false, Fault::wrongModelByte },
    { "high-data-byte", false, Fault::highDataByte },
    { "cut-replies", false, Fault::cutReplies },
    { "lost-incoming-frame", true, Fault::lostIncomingFrame },
    { "lost-reply-frame", true, Fault::lostReplyFrame, nullptr, Fault::lostReplyFrameCommand },
    { "unreadable-application", false, Fault::unreadableApplication },
    // The USB id is there, but a MIDI port is missing, listed only after N scans, or fails to open.
    { "input-missing", false, Fault::inputMissing },
    { "output-missing", false, Fault::outputMissing },
    { "input-late", true, Fault::inputLate },
    { "output-late", true, Fault::outputLate },
    { "input-fails-to-open", false, Fault::inputFailsToOpen },
    { "output-fails-to-open", false, Fault::outputFailsToOpen },
    // After a complete stream the boot loader stays in update mode for N more USB scans.
    { "update-mode-lingers", true, Fault::updateModeLingers },
    { "unplug-after-frames", true, Fault::numFaults,
      [] (AmplifierEmulator& e, int n) { e.unplugAfterIncomingFrames (n); } },
    { "unplug-after-replies", true, Fault::numFaults,
      [] (AmplifierEmulator& e, int n) { e.unplugAfterReplies (n); } },
    { "unplug-after-firmware-messages", true, Fault::numFaults,
      [] (AmplifierEmulator& e, int n) { e.unplugAfterFirmwareMessages (n); } },
    // A stream of any other length is refused: the boot loader stays in update mode.
    { "expected-firmware-messages", true, Fault::numFaults,
      [] (AmplifierEmulator& e, int n) { e.setExpectedFirmwareMessages (n); } },
};

bool takesCommand (const FaultSwitch& s)
{
    return s.commandFault != Fault::numFaults;
}

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
        names.add (juce::String (s.name) + (takesCommand (s) ? "=[C:]N" : s.takesCount ? "=N" : ""));
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

        auto value = entry.fromFirstOccurrenceOf ("=", false, false);
        juce::int64 command = 0;
        const bool narrowed = takesCommand (*fault) && value.containsChar (':');
        if (narrowed && !parseCount (value.upToFirstOccurrenceOf (":", false, false), 127, command))
            return "fault \"" + entry + "\" must name a command from 0 to 127 before the colon";
        if (narrowed)
            value = value.fromFirstOccurrenceOf (":", false, false);

        juce::int64 count = 0;
        if (fault->takesCount != entry.containsChar ('=') ||
            (fault->takesCount && !parseCount (value, 0x7fffffff, count)))
            return "fault \"" + entry + "\" must be written " +
                   (fault->takesCount ? name + (takesCommand (*fault) ? "=N or " + name + "=C:N" : "=N")
                                      : name);

        faults.push_back ({ name, (int)count, (int)command });
    }

    return {};
}

void EmulatorSettings::applyTo (AmplifierEmulator& emulator) const
{
    emulator.setFirmwareRevision (revision);
    emulator.setRevisionAfterUpdate (revisionAfterUpdate);
    emulator.setSerialNumber (serialNumber);

    for (const auto& fault : faults)
    {
        const auto* faultSwitch = findSwitch (fault.name);
        if (faultSwitch->apply != nullptr)
            faultSwitch->apply (emulator, fault.value);
        else
            emulator.setFault (faultSwitch->fault, faultSwitch->takesCount ? fault.value : 1);
        if (takesCommand (*faultSwitch))
            emulator.setFault (faultSwitch->commandFault, fault.command);
    }
}
