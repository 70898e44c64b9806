#pragma once

#include "testing/window/DesktopAtoms.h"
#include "tests/link/LinkTestSupport.h"
#include "updates/FWUpdateWizard.h"
#include "look/ColourScheme.h"

#include <functional>

namespace wizardtest
{
// Quick link ticks and a quick stream, so that a whole firmware image goes out in about a second.
inline LinkTiming quickLink()
{
    LinkTiming timing;
    timing.tickMs = 10;
    timing.streamTickMs = 1;
    timing.replyPollMs = 1;
    return timing;
}

// Runs the message loop (and with it the link's timer) until the condition holds; false when it
// did not within a generous time.
inline bool pumpUntil (const std::function<bool()>& condition, int maxSeconds = 60)
{
    for (int i = 0; i < maxSeconds * 100; ++i)
    {
        if (condition())
            return true;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    }
    return condition();
}


// An emulated amplifier of the given revision behind a link with quick timing, and the program's
// look.
class EmulatedAmplifierTest : public ::testing::Test, private DesktopReady
{
protected:
    explicit EmulatedAmplifierTest (const AmplifierEmulator::Identity& identity = zelta60_2(),
                                    juce::uint32 revision = 900, const LinkTiming& linkTiming = quickLink())
        : emulator (identity), link (emulator.createUsbDevices(), emulator.createMidiPorts(), linkTiming)
    {
        emulator.setFirmwareRevision (revision);
        applyColourScheme (look);
        juce::LookAndFeel::setDefaultLookAndFeel (&look);
    }

    ~EmulatedAmplifierTest() override { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    bool reachState (int state)
    {
        return pumpUntil ([&] { return link.getLinkState() == state; });
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V3 look;
    AmplifierEmulator emulator;
    VantorelCom link;
};
} // namespace wizardtest
