#pragma once

#include "platform/MidiPortProvider.h"

// The operating system's MIDI ports through JUCE's MidiInput and MidiOutput (ALSA on Linux).
class JuceMidiPortProvider : public MidiPortProvider
{
public:
    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;

    std::unique_ptr<Output> openOutput (int index) override;
    std::unique_ptr<Input> openInput (int index, juce::MidiInputCallback* callback) override;
};
