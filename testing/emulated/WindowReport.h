#pragma once

#include "testing/emulator/AmplifierEmulator.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <functional>
#include <map>

class MainContentComponent;

// Writes, one line each, what the emulated program's window shows and what its amplifier went
// through, whenever it changes, so that a scenario driven from outside (keys and clicks through the
// X server) can wait for it. Lines:
//   status: <status text, line breaks as " | ">
//   program: <Program button text> enabled|disabled at <x>,<y>     (centre on the screen)
//   window: <title>: <texts of its labels> [<button> enabled|disabled at <x>,<y>] ...
//           [field <n> characters at <x>,<y>] ...
//   closed: <title>
//   device: <number> "<name>" padlock on|off, password yes|no, settings <fingerprint of the
//           StepValues> [padlock at <x>,<y>] [get settings enabled|disabled at <x>,<y>]
//           [name at <x>,<y>]                                     (the selected device box)
//   amplifier: application|update|unplugged
//   amplifier: stored settings|application block <n>, <bytes> bytes
//   amplifier: firmware update <n> complete, revision <r>
class WindowReport : private juce::Timer
{
public:
    using Output = std::function<void (const juce::String& line)>;

    // Both must outlive the report.
    WindowReport (MainContentComponent& content, AmplifierEmulator& emulator, Output output);
    ~WindowReport() override;

    // Looks now, as every tick does.
    void look();

private:
    void timerCallback() override;
    void report (const juce::String& key, const juce::String& line);
    void lookAtWindows();
    void lookAtAmplifier();
    void lookAtSelectedDevice();

    MainContentComponent& content;
    AmplifierEmulator& emulator;
    Output output;
    std::map<juce::String, juce::String> lastLines; // message thread only
};
