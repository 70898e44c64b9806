#include "platform/JuceMidiPortProvider.h"

namespace
{
juce::StringArray namesOf (const juce::Array<juce::MidiDeviceInfo>& devices)
{
    juce::StringArray names;
    for (const auto& device : devices)
        names.add (device.name);
    return names;
}

class JuceOutput : public MidiPortProvider::Output
{
public:
    explicit JuceOutput (std::unique_ptr<juce::MidiOutput> opened) : output (std::move (opened)) {}

    void sendMessageNow (const juce::MidiMessage& message) override { output->sendMessageNow (message); }

private:
    std::unique_ptr<juce::MidiOutput> output;
};

class JuceInput : public MidiPortProvider::Input
{
public:
    explicit JuceInput (std::unique_ptr<juce::MidiInput> opened) : input (std::move (opened)) {}
    ~JuceInput() override { input->stop(); }

    void start() override { input->start(); }
    void stop() override { input->stop(); }

private:
    std::unique_ptr<juce::MidiInput> input;
};
} // namespace

juce::StringArray JuceMidiPortProvider::getOutputNames()
{
    return namesOf (juce::MidiOutput::getAvailableDevices());
}

juce::StringArray JuceMidiPortProvider::getInputNames()
{
    return namesOf (juce::MidiInput::getAvailableDevices());
}

std::unique_ptr<MidiPortProvider::Output> JuceMidiPortProvider::openOutput (int index)
{
    const auto devices = juce::MidiOutput::getAvailableDevices();
    if (!juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;

    auto output = juce::MidiOutput::openDevice (devices.getReference (index).identifier);
    if (output == nullptr)
        return nullptr;
    return std::make_unique<JuceOutput> (std::move (output));
}

std::unique_ptr<MidiPortProvider::Input> JuceMidiPortProvider::openInput (int index,
                                                                          juce::MidiInputCallback* callback)
{
    const auto devices = juce::MidiInput::getAvailableDevices();
    if (!juce::isPositiveAndBelow (index, devices.size()))
        return nullptr;

    auto input = juce::MidiInput::openDevice (devices.getReference (index).identifier, callback);
    if (input == nullptr)
        return nullptr;
    return std::make_unique<JuceInput> (std::move (input));
}
