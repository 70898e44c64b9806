#pragma once

#include "platform/MidiPortProvider.h"

// The amplifier's pair of MIDI ports, found by name among the provider's ports.
//
// Opening and closing happen on the message thread (the link's timer); sends also come from the
// thread that makes a request and from the firmware stream. One lock guards both ports so that a
// disconnect never deletes a port while another thread sends through it.
class MidiInterfaceClass
{
public:
    explicit MidiInterfaceClass (std::unique_ptr<MidiPortProvider> provider);
    virtual ~MidiInterfaceClass();

    // Index of the first port whose name equals the name exactly, or -1. On Windows XP every
    // amplifier's ports are called "USB Audio Device...", so there the first of those is taken.
    int findOutputIndex (const juce::String& portName) const;
    int findInputIndex (const juce::String& portName) const;

    int getNumOutputs() const;
    int getNumInputs() const;

    // Close the current port and open the one with this index; false (the port left as it was)
    // for an index out of range, false (and no port) when opening fails. The input is started.
    bool openOutputByIndex (int index);
    bool openInputByIndex (int index, juce::MidiInputCallback* callback);

    bool openOutput (const juce::String& portName);
    bool openInput (const juce::String& portName, juce::MidiInputCallback* callback);

    void closeOutput();
    // Stops the input first: no callback runs once this returns.
    void closeInput();
    // The output first, then the input.
    void close();

    // False when no output is open; whether the port delivered is not known.
    bool sendMessage (const juce::MidiMessage& message);

    // The two-tick wait after opening is all the readiness there is to know.
    bool isPortReady (const juce::String& portName) const;

    bool isOutputOpen() const;
    bool isInputOpen() const;

private:
    static int findIndex (const juce::StringArray& names, const juce::String& portName);

    std::unique_ptr<MidiPortProvider> ports;
    juce::CriticalSection portLock; // guards output and input
    std::unique_ptr<MidiPortProvider::Output> output;
    std::unique_ptr<MidiPortProvider::Input> input;

    JUCE_DECLARE_NON_COPYABLE (MidiInterfaceClass)
};
