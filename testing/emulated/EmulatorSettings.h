#pragma once

#include "testing/emulator/AmplifierEmulator.h"
#include <functional>

// The amplifier of the emulated program, as its environment variables describe it:
//   VANTOREL_EMULATOR_MODEL      product name, e.g. "Zelta 60/2" (default "Zelta 240/2M")
//   VANTOREL_EMULATOR_MODE       application, update or unplugged (default application)
//   VANTOREL_EMULATOR_REVISION   firmware revision it reports (default 924, the embedded image's)
//   VANTOREL_EMULATOR_REVISION_AFTER_UPDATE   revision after a complete firmware stream (924)
//   VANTOREL_EMULATOR_SERIAL     serial number (default 1234)
//   VANTOREL_EMULATOR_FAULTS     comma-separated faults switched on from the start, e.g.
//                                "no-reply,reply-delay-ms=300,unplug-after-firmware-messages=40";
//                                lost-reply-frame=36:1 loses frame 1 of the application part only
class EmulatorSettings
{
public:
    using Environment = std::function<juce::String (const char* name)>;

    static Environment processEnvironment();
    // The names of the faults, with "=N" for those that take a count.
    static juce::StringArray getFaultNames();

    // Empty when every variable was understood, else what was wrong.
    juce::String read (const Environment& environment);
    // Revisions, serial number and faults.
    void applyTo (AmplifierEmulator& emulator) const;

    juce::String getModel() const { return model; }
    AmplifierEmulator::Mode getMode() const { return mode; }

private:
    struct Fault
    {
        juce::String name;
        int value = 0;
        int command = 0; // the command a fault is narrowed to (C:N), 0 for all
    };

    juce::String readFaults (const juce::String& text);

    juce::String model = "Zelta 240/2M";
    AmplifierEmulator::Mode mode = AmplifierEmulator::Mode::application;
    juce::uint32 revision = AmplifierEmulator::defaultRevision;
    juce::uint32 revisionAfterUpdate = AmplifierEmulator::defaultRevision;
    juce::uint32 serialNumber = 1234;
    std::vector<Fault> faults;
};
