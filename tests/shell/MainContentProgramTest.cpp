#include "tests/shell/DeviceRoadTestSupport.h"
#include "tests/shell/MainContentTestSupport.h"
#include "tests/shell/WizardUser.h"
#include "testing/window/DesktopAtoms.h"

using namespace maintest;

namespace
{
// The main content with an emulated "ZELTA M" amplifier, scripted device windows and one
// application of a "ZELTA M" device at the top of its list.
// The firmware wizard's window has no native title bar: the desktop is made ready before the
// framework opens the display.
class MainContentProgramTest : private DesktopReady, public MainContentTest
{
protected:
    explicit MainContentProgramTest (bool waitForIdentity = true)
    {
        writeFile (folder.getChildFile ("Hall.sapl"), scrambled (applicationText ("Hall", 927, "ZELTA M")));

        MainContentComponent::Services services{ user, documents, unreachableEndpoint(), &link };
        services.prompts = &prompts;
        content = std::make_unique<ScriptedMainContent> (services);
        if (!waitForIdentity)
            content->stopTimer();

        EXPECT_GT (tickUntilState (link, BaseCom::connected), 0);
        if (!waitForIdentity)
            return;

        for (int i = 0; i < 400 && content->getStatusDisplay().getDeviceRevision() == 0; ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
        EXPECT_NE (content->getStatusDisplay().getDeviceRevision(), 0u);
    }

    void clickProgram() { content->buttonClicked (&content->getProgramButton()); }

    AmplifierEmulator emulator{ zelta240_2M() };
    VantorelCom link{ emulator.createUsbDevices(), emulator.createMidiPorts(), quickFrames() };
    ScriptedDevicePrompts prompts;
};

// The window before any tick has handled the connection: nobody has asked the amplifier yet.
class MainContentBeforeIdentityTest : public MainContentProgramTest
{
protected:
    MainContentBeforeIdentityTest() : MainContentProgramTest (false) {}

    static bool pumpUntil (const std::function<bool()>& condition)
    {
        for (int i = 0; i < 6000 && !condition(); ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
        return condition();
    }

    // The window's ticks come only from here.
    bool tickUntil (const std::function<bool()>& condition)
    {
        return pumpUntil (
            [&]
            {
                content->timerCallback();
                return condition();
            });
    }

    juce::String status() const { return content->getStatusLabel().getText(); }
    int revisionRequests() const { return emulator.getNumReceived (QuobCom::readRevisionCommand); }
};
} // namespace

TEST_F (MainContentProgramTest, ProgramButtonProgramsThenSwitchesSynchronisationOff)
{
    auto& button = content->getProgramButton();
    auto* box = content->getDiagram()->getSelectedDevice();
    ASSERT_NE (box, nullptr);

    prompts.syncAnswers.push_back (true);
    clickProgram();
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::applicationFrames), 1);
    EXPECT_TRUE (content->isSyncEnabled());
    EXPECT_EQ (button.getButtonText(), "Sync Enabled");
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId), juce::Colours::orange);
    EXPECT_TRUE (box->isSyncMarked());

    // While synchronised, a click only switches synchronisation off.
    clickProgram();
    EXPECT_FALSE (content->isSyncEnabled());
    EXPECT_EQ (button.getButtonText(), "Program");
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId),
               content->getLookAndFeel().findColour (juce::TextButton::buttonColourId));
    EXPECT_FALSE (box->isSyncMarked());
    EXPECT_EQ (prompts.calls.joinIntoString (","), "done");
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::applicationFrames), 1);

    // A failed programming offers no synchronisation.
    emulator.unplug();
    tickUntilState (link, BaseCom::idle);
    clickProgram();
    ASSERT_FALSE (user.calls.empty());
    EXPECT_EQ (user.calls.back().title, "Programming failed!");
    EXPECT_EQ (prompts.calls.size(), 1);
    EXPECT_FALSE (content->isSyncEnabled());
}

TEST_F (MainContentProgramTest, PadlockChangeWhileSynchronisedSwitchesSynchronisationOff)
{
    auto& padlock = content->getDiagram()->getSelectedDevice()->getPasswordButton();

    // Without synchronisation the padlock simply waits for the next Program.
    padlock.setToggleState (true, juce::sendNotificationSync);
    EXPECT_TRUE (user.calls.empty());

    prompts.passwords.push_back ("secret");
    prompts.syncAnswers.push_back (true);
    clickProgram();
    ASSERT_TRUE (content->isSyncEnabled());

    // Passes would keep the amplifier locked while the box shows it open.
    padlock.setToggleState (false, juce::sendNotificationSync);
    EXPECT_FALSE (content->isSyncEnabled());
    EXPECT_EQ (content->getProgramButton().getButtonText(), "Program");
    ASSERT_EQ (user.calls.size(), 1u);
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::info);
    EXPECT_TRUE (user.calls.back().text.startsWith ("The padlock takes effect at the next Program."));
}

// Both roads that need the amplifier's identity read it first, rather than acting on none.
TEST_F (MainContentBeforeIdentityTest, RoadsClickedBeforeTheAmplifierIsIdentifiedReadItFirst)
{
    auto& diagram = *content->getDiagram();
    auto& box = *diagram.getSelectedDevice();

    user.okCancelAnswers.push_back (false);
    content->deviceReadbackRequested (diagram, box);
    ASSERT_TRUE (pumpUntil ([this] { return !user.calls.empty(); }));
    EXPECT_EQ (user.calls.back().title, "Download settings?");

    box.getPasswordButton().setToggleState (true, juce::sendNotificationSync);
    prompts.passwords.push_back ("secret");
    clickProgram();
    ASSERT_TRUE (
        pumpUntil ([this] { return emulator.getNumStoredBlocks (QuobCom::applicationFrames) == 1; }));
    EXPECT_EQ (prompts.calls.joinIntoString (","), "choose,done");
    EXPECT_EQ (user.calls.size(), 1u) << "no failure reported";

    // The status display's first tick takes that reading as it is.
    content->timerCallback();
    EXPECT_NE (content->getStatusDisplay().getDeviceRevision(), 0u);
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readRevisionCommand), 1) << "read once per connection";
}

// An amplifier that did not answer at first, as one still starting. A Program click stops the
// retry read without raising the back-off: the next tick reads again. A Get settings click during
// a retry waits for it, and the amplifier that answers by now is read back.
TEST_F (MainContentBeforeIdentityTest, ARetryStoppedByAClickIsNoAttemptAndAClickDuringOneWaitsForIt)
{
    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 1);
    ASSERT_TRUE (tickUntil ([&] { return status().endsWith ("Rev:unknown"); }));

    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 0);
    emulator.setFault (AmplifierEmulator::Fault::noReply, 1);
    int asked = revisionRequests();
    ASSERT_TRUE (tickUntil ([&] { return revisionRequests() > asked; })) << "no retry after the back-off";
    clickProgram();
    ASSERT_EQ (prompts.calls.joinIntoString (","), "done");
    EXPECT_EQ (user.calls.size(), 0u);

    emulator.setFault (AmplifierEmulator::Fault::noReply, 0);
    emulator.setFault (AmplifierEmulator::Fault::replyDelayMs, 200);
    asked = revisionRequests();
    content->timerCallback();
    ASSERT_TRUE (pumpUntil ([&] { return revisionRequests() > asked; }))
        << "the stopped read counted as an attempt and waits for the back-off";

    auto& diagram = *content->getDiagram();
    user.okCancelAnswers.push_back (false);
    content->deviceReadbackRequested (diagram, *diagram.getSelectedDevice());
    ASSERT_TRUE (pumpUntil ([this] { return !user.calls.empty(); }));
    EXPECT_EQ (user.calls.back().title, "Download settings?");
    EXPECT_EQ (user.calls.size(), 1u);

    content->timerCallback();
    EXPECT_EQ (status(), "Connected to Zelta 240/2M\nSerial Number: 74565 Rev:924");
}

// Older firmware, and a locked Program click before any tick took the reading: a tick while the
// password window is open leaves the firmware wizard for after the road.
TEST_F (MainContentBeforeIdentityTest, TheWizardIsNotOpenedOverARoadsPasswordWindow)
{
    emulator.setFirmwareRevision (900);
    WizardUser wizardUser (WizardUser::Policy::cancel);
    content->getDiagram()->getSelectedDevice()->getPasswordButton().setToggleState (
        true, juce::sendNotificationSync);
    prompts.passwords.push_back ("secret");
    int wizardsWhilePasswordOpen = -1;
    prompts.whileOpen = [&]
    {
        if (prompts.calls.contains ("choose") && wizardsWhilePasswordOpen < 0)
        {
            content->timerCallback();
            wizardsWhilePasswordOpen = wizardUser.openingHeadlines.size();
        }
    };

    clickProgram();
    ASSERT_TRUE (
        pumpUntil ([this] { return emulator.getNumStoredBlocks (QuobCom::applicationFrames) == 1; }));
    EXPECT_EQ (wizardsWhilePasswordOpen, 0);

    prompts.whileOpen = nullptr;
    content->timerCallback();
    ASSERT_TRUE (pumpUntil ([&] { return !content->getStatusDisplay().isWizardRunning(); }));
    EXPECT_EQ (wizardUser.openingHeadlines, juce::StringArray ("Firmware Update Required!"));
}
