#include "testing/emulated/EmulatedVantorelApplication.h"

#include "platform/JuceUserInteraction.h"
#include "shell/MainContentComponent.h"
#include "testing/emulated/ProductIdentity.h"
#include <cstdio>

EmulatedVantorelApplication::EmulatedVantorelApplication() = default;

EmulatedVantorelApplication::~EmulatedVantorelApplication() = default;

void EmulatedVantorelApplication::writeLine (const juce::String& line)
{
    std::printf ("%s\n", line.toRawUTF8());
    std::fflush (stdout);
}

void EmulatedVantorelApplication::initialise (const juce::String& commandLine)
{
    AmplifierEmulator::Identity identity;
    auto error = settings.read (EmulatorSettings::processEnvironment());
    if (error.isEmpty() && !findProductIdentity (settings.getModel(), identity))
        error = "VANTOREL_EMULATOR_MODEL: no model \"" + settings.getModel() + "\" in the product table";

    if (error.isNotEmpty())
    {
        std::fprintf (stderr, "%s\n", error.toRawUTF8());
        setApplicationReturnValue (2);
        quit();
        return;
    }

    emulator = std::make_unique<AmplifierEmulator> (identity, settings.getMode());
    settings.applyTo (*emulator);
    link = std::make_unique<VantorelCom> (emulator->createUsbDevices(), emulator->createMidiPorts());
    interaction = std::make_unique<JuceUserInteraction>();

    VantorelApplication::initialise (commandLine);
}

std::unique_ptr<MainContentComponent> EmulatedVantorelApplication::createMainContent()
{
    const MainContentComponent::Services services{
        *interaction, juce::File::getSpecialLocation (juce::File::userDocumentsDirectory),
        VersionEndpoint::builtIn(), link.get()
    };
    auto content = std::make_unique<MainContentComponent> (services);
    report = std::make_unique<WindowReport> (*content, *emulator, writeLine);
    return content;
}

void EmulatedVantorelApplication::shutdown()
{
    report = nullptr;
    VantorelApplication::shutdown();
    // The window's content used the link; the link uses the emulator's ports.
    link = nullptr;
    emulator = nullptr;
}
