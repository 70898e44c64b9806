#pragma once

#include "link/SysexMessage.h"
#include "platform/MidiPortProvider.h"
#include <functional>
#include <vector>

// An amplifier's port pair that answers within the send, on the sender's thread, with whatever the
// responder returns for each message the link sends. For replies that must arrive at an exact
// moment (before the requester polls, several at once) and for fuzzing the reply path.
class ScriptedMidiPorts : public MidiPortProvider
{
public:
    using Responder = std::function<std::vector<juce::MidiMessage> (const SysexMessage& request)>;

    // Both ports carry this name.
    ScriptedMidiPorts (const juce::String& portName, Responder responder);

    juce::StringArray getOutputNames() override { return { name }; }
    juce::StringArray getInputNames() override { return { name }; }

    std::unique_ptr<Output> openOutput (int index) override;
    std::unique_ptr<Input> openInput (int index, juce::MidiInputCallback* callback) override;

private:
    void answer (const juce::MidiMessage& request);

    const juce::String name;
    const Responder responder;
    juce::MidiInputCallback* callback = nullptr;
};
