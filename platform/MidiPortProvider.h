#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_audio_devices/juce_audio_devices.h>

// The MIDI ports the device link can reach: names in device order, opening by index, starting and
// stopping an input, sending at once. The program uses JuceMidiPortProvider; tests put an emulated
// amplifier behind this.
class MidiPortProvider
{
public:
    // One opened output; closed when deleted.
    class Output
    {
    public:
        virtual ~Output() = default;
        virtual void sendMessageNow (const juce::MidiMessage& message) = 0;
    };

    // One opened input delivering to the callback given at opening. Deleting it stops it; once
    // stop() has returned no callback runs any more.
    class Input
    {
    public:
        virtual ~Input() = default;
        virtual void start() = 0;
        virtual void stop() = 0;
    };

    virtual ~MidiPortProvider() = default;

    virtual juce::StringArray getOutputNames() = 0;
    virtual juce::StringArray getInputNames() = 0;

    // Null when the port cannot be opened.
    virtual std::unique_ptr<Output> openOutput (int index) = 0;
    virtual std::unique_ptr<Input> openInput (int index, juce::MidiInputCallback* callback) = 0;
};
