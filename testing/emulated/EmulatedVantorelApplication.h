#pragma once

#include "link/VantorelCom.h"
#include "platform/UserInteraction.h"
#include "shell/VantorelApplication.h"
#include "testing/emulated/EmulatorSettings.h"
#include "testing/emulated/WindowReport.h"

// The program with an emulated amplifier beneath its USB scan and MIDI ports, for tests only:
// the same application object, window and content, the real user, Documents folder and version
// service, and an amplifier described by environment variables (EmulatorSettings). What the
// window shows is written to the standard output (WindowReport).
class EmulatedVantorelApplication : public VantorelApplication
{
public:
    EmulatedVantorelApplication();
    ~EmulatedVantorelApplication() override;

    // Scenarios with different amplifiers may run side by side.
    bool moreThanOneInstanceAllowed() override { return true; }
    void initialise (const juce::String& commandLine) override;
    void shutdown() override;

protected:
    std::unique_ptr<MainContentComponent> createMainContent() override;

private:
    static void writeLine (const juce::String& line);

    EmulatorSettings settings;
    std::unique_ptr<AmplifierEmulator> emulator;
    std::unique_ptr<VantorelCom> link;
    std::unique_ptr<UserInteraction> interaction;
    std::unique_ptr<WindowReport> report;
};
