#pragma once

#include "document/CorvadineXmlToSyx.h"
#include "document/PresetLibrary.h"
#include "link/ApplicationPayload.h"
#include "shell/DevicePrompts.h"
#include "shell/DeviceSynchroniser.h"
#include "shell/DiagramView.h"
#include "shell/ProgramRoad.h"
#include "shell/ReadbackRoad.h"
#include "testing/user/ScriptedUserInteraction.h"
#include "tests/link/LinkTestSupport.h"

#include <deque>

// The windows of the device roads answered from queues; every prompt is recorded in order.
class ScriptedDevicePrompts : public DevicePrompts
{
public:
    std::deque<std::optional<juce::String>> passwords; // for both password windows
    std::deque<bool> syncAnswers;                      // "Programming Done" left with the toggle on
    juce::StringArray calls;                           // "choose", "enter", "done"
    std::function<void()> whileOpen;                   // what happens while a window is open

    std::optional<juce::String> choosePassword() override { return nextPassword ("choose"); }
    std::optional<juce::String> enterPassword (DiagramDevice&) override { return nextPassword ("enter"); }

    bool confirmProgrammingDone() override
    {
        calls.add ("done");
        if (whileOpen)
            whileOpen();
        if (syncAnswers.empty())
            return false;
        const bool answer = syncAnswers.front();
        syncAnswers.pop_front();
        return answer;
    }

private:
    std::optional<juce::String> nextPassword (const char* kind)
    {
        calls.add (kind);
        if (whileOpen)
            whileOpen();
        if (passwords.empty())
            return std::nullopt;
        auto answer = passwords.front();
        passwords.pop_front();
        return answer;
    }
};

// Frames 1 ms apart, replies given up after half a second: quick tests of whole transfers.
inline LinkTiming quickFrames()
{
    LinkTiming timing;
    timing.frameSpacingMs = 1;
    timing.maxReplyPolls = 100;
    return timing;
}

// The thread the synchroniser's passes run on, as the main content is in the program.
class PassThread : public juce::Thread
{
public:
    PassThread() : juce::Thread ("Program Thread") {}
    ~PassThread() override { stopThread (-1); }
    void run() override { synchroniser->runPass(); }

    DeviceSynchroniser* synchroniser = nullptr;
};

// A "ZELTA M" device (the family of the emulated Zelta 240/2M) in a one-device application shown
// in a diagram, an emulated amplifier connected to the link, and the synchroniser and both roads
// with a scripted user.
class DeviceRoadTest : public ::testing::Test
{
protected:
    explicit DeviceRoadTest (const LinkTiming& timing = quickFrames())
        : emulator (zelta240_2M()), link (emulator.createUsbDevices(), emulator.createMidiPorts(), timing)
    {
        passThread.synchroniser = &synchroniser;

        application = std::make_unique<juce::XmlElement> ("Application");
        auto* device = new juce::XmlElement (*presets.getElement (1));
        application->addChildElement (device);
        device->setAttribute ("name", "Stage");

        diagram = std::make_unique<DiagramView> (*application, presets, 0xff, descriptionShown, user,
                                                 [] (juce::Component&) { return 0; });
        diagram->selectDevice (0, true);
    }

    ~DeviceRoadTest() override { passThread.stopThread (-1); }

    // Connected, and identified as the status display does it.
    void connect()
    {
        ASSERT_GT (tickUntilState (link, BaseCom::connected), 0) << "the link never connected";
        ASSERT_TRUE (identity.startReading());
        ASSERT_TRUE (identity.waitForReading (30000));
    }

    // Unplugged and plugged in again with another serial number, as a swap of two amplifiers of
    // one model looks to the link; not identified yet.
    void swapAmplifier()
    {
        unplugAndNotice();
        emulator.setSerialNumber (0x00054321);
        emulator.plugIn();
        ASSERT_GT (tickUntilState (link, BaseCom::connected), 0);
    }

    // Connected anew, not identified yet.
    void reconnect()
    {
        link.disconnect();
        ASSERT_GT (tickUntilState (link, BaseCom::connected), 0);
    }

    void unplugAndNotice()
    {
        emulator.unplug();
        ASSERT_GT (tickUntilState (link, BaseCom::idle), 0);
    }

    DiagramDevice& box() { return *diagram->getSelectedDevice(); }

    // A Program click for the box (the selected one by default): whether the road finished with
    // synchronisation asked for; false also while it waits for the amplifier's identity.
    bool program() { return program (&box()); }
    bool program (DiagramDevice* selected)
    {
        synchroniseAsked = false;
        programRoad.run (selected,
                         [this] (bool synchronise)
                         {
                             synchroniseAsked = synchronise;
                             ++programRoadsFinished;
                         });
        return synchroniseAsked;
    }
    juce::XmlElement& device() { return box().getDeviceElement(); }
    juce::XmlElement& settings() { return *device().getChildByName ("CORVADINE"); }

    void setPadlock (bool on) { box().getPasswordButton().setToggleState (on, juce::dontSendNotification); }

    // The application part the amplifier stores; null when it holds none.
    std::unique_ptr<juce::XmlElement> storedApplication() const
    {
        return parseApplicationPayload (emulator.getStoredBlock (QuobCom::applicationFrames));
    }

    static juce::MemoryBlock blockOf (const juce::XmlElement& corvadine)
    {
        juce::MemoryOutputStream out;
        CorvadineXmlToSyx (corvadine).convertAndWrite (out);
        return out.getMemoryBlock();
    }

    int framesReceived() const
    {
        return emulator.getNumReceived (QuobCom::settingsFrames) +
               emulator.getNumReceived (QuobCom::applicationFrames);
    }

    // Runs the message loop until the condition holds; false after a generous limit.
    static bool waitUntil (const std::function<bool()>& condition, int limitMs = 30000)
    {
        for (int waited = 0; !condition(); waited += 5)
        {
            if (waited > limitMs)
                return false;
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        }
        return true;
    }

    // Runs the message loop until every message posted before this call has been handled.
    static bool dispatchPendingMessages()
    {
        auto handled = std::make_shared<bool> (false);
        juce::MessageManager::callAsync ([handled] { *handled = true; });
        return waitUntil ([handled] { return *handled; });
    }

    bool waitForPassEnd()
    {
        return waitUntil ([this] { return !synchroniser.isPassRunning(); });
    }

    juce::ScopedJuceInitialiser_GUI gui;
    AmplifierEmulator emulator;
    VantorelCom link;
    AmplifierIdentity identity{ link };
    PresetLibrary presets;
    ScriptedUserInteraction user;
    ScriptedDevicePrompts prompts;
    std::unique_ptr<juce::XmlElement> application;
    bool descriptionShown = false;
    std::unique_ptr<DiagramView> diagram;

    bool synchroniseAsked = false;
    int programRoadsFinished = 0;

    std::atomic<int> pendingAnswers{ 0 }; // the pages answer "changed" this many times
    int switchOffs = 0;
    PassThread passThread;
    DeviceSynchroniser synchroniser{ link, passThread, user,
                                     DeviceSynchroniser::Hooks{ [this]
                                                                {
                                                                    if (pendingAnswers <= 0)
                                                                        return false;
                                                                    --pendingAnswers;
                                                                    return true;
                                                                },
                                                                [this]
                                                                {
                                                                    ++switchOffs;
                                                                    synchroniser.setEnabled (false);
                                                                } } };
    ProgramRoad programRoad{ link, identity, user, prompts, synchroniser };
    ReadbackRoad readbackRoad{ link, identity, presets, user, prompts, synchroniser };
};
