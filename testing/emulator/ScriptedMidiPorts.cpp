#include "testing/emulator/ScriptedMidiPorts.h"

namespace
{
struct SilentInput : MidiPortProvider::Input
{
    void start() override {}
    void stop() override {}
};

struct ForwardingOutput : MidiPortProvider::Output
{
    explicit ForwardingOutput (std::function<void (const juce::MidiMessage&)> s) : send (std::move (s)) {}
    void sendMessageNow (const juce::MidiMessage& message) override { send (message); }
    std::function<void (const juce::MidiMessage&)> send;
};
} // namespace

ScriptedMidiPorts::ScriptedMidiPorts (const juce::String& portName, Responder r)
    : name (portName), responder (std::move (r))
{
}

std::unique_ptr<MidiPortProvider::Output> ScriptedMidiPorts::openOutput (int)
{
    return std::make_unique<ForwardingOutput> ([this] (const juce::MidiMessage& m) { answer (m); });
}

std::unique_ptr<MidiPortProvider::Input> ScriptedMidiPorts::openInput (int, juce::MidiInputCallback* c)
{
    callback = c;
    return std::make_unique<SilentInput>();
}

void ScriptedMidiPorts::answer (const juce::MidiMessage& request)
{
    if (callback == nullptr)
        return;
    for (const auto& reply : responder (SysexMessage::fromMidiMessage (request)))
        callback->handleIncomingMidiMessage (nullptr, reply);
}
