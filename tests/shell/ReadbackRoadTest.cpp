#include "tests/shell/DeviceRoadTestSupport.h"

namespace
{
class ReadbackRoadTest : public DeviceRoadTest, private DiagramView::Listener
{
protected:
    ReadbackRoadTest()
    {
        emulator.setFirmwareRevision (778);
        connect();
        diagram->addListener (this);
    }

    // Programs the device as it is now, then changes the working copy so that a readback shows.
    void programThenEdit (const juce::String& password)
    {
        setPadlock (password.isNotEmpty());
        if (password.isNotEmpty())
            prompts.passwords.push_back (password);
        program();
        programmed = std::make_unique<juce::XmlElement> (device());

        device().setAttribute ("name", "Edited");
        setPadlock (false);
        edited = std::make_unique<juce::XmlElement> (device());
        prompts.calls.clear();
    }

    void readBack (bool confirm = true)
    {
        user.okCancelAnswers.push_back (confirm);
        readbackRoad.run (box());
    }

    bool deviceUnchanged() { return device().isEquivalentTo (edited.get(), false); }

    juce::String lastMessage() const
    {
        return user.calls.empty() ? juce::String() : user.calls.back().title + ": " + user.calls.back().text;
    }

    void diagramSelectionChanged (DiagramView&) override { ++selectionsMade; }

    std::unique_ptr<juce::XmlElement> programmed, edited;
    int selectionsMade = 0;
};
} // namespace

TEST_F (ReadbackRoadTest, LockedSettingsComeBackWithThePadlockOn)
{
    programThenEdit ("secret");
    prompts.passwords.push_back ("secret");

    readBack();

    EXPECT_EQ (prompts.calls.joinIntoString (","), "enter");
    EXPECT_EQ (device().getStringAttribute ("name"), "Stage");
    EXPECT_NE (device().getChildByName ("Password"), nullptr);
    EXPECT_TRUE (box().getPasswordButton().getToggleState()) << "the next Program must keep the lock";
    EXPECT_TRUE (box().hasChanged());
    EXPECT_EQ (selectionsMade, 1) << "the pages are rebuilt before anything can reach the old children";
    EXPECT_EQ (blockOf (settings()), blockOf (*programmed->getChildByName ("CORVADINE")))
        << "the settings read back make the block that was programmed";
}

TEST_F (ReadbackRoadTest, WrongOrCancelledPasswordLeavesTheDevice)
{
    programThenEdit ("secret");

    prompts.passwords.push_back ("Secret");
    readBack();
    EXPECT_EQ (lastMessage(), "Sorry: Wrong password");
    EXPECT_TRUE (deviceUnchanged());

    prompts.passwords.push_back (std::nullopt);
    readBack();
    EXPECT_EQ (user.countCalls ("message"), 1) << "a cancel needs no message";
    EXPECT_TRUE (deviceUnchanged());
    EXPECT_FALSE (box().getPasswordButton().getToggleState());
    EXPECT_EQ (selectionsMade, 0);
}

TEST_F (ReadbackRoadTest, UnlockedSettingsAreTakenWithoutAQuestionUnlessDeclined)
{
    programThenEdit ({});

    readBack (false);
    EXPECT_TRUE (deviceUnchanged());

    readBack();
    EXPECT_TRUE (prompts.calls.isEmpty());
    EXPECT_EQ (device().getStringAttribute ("name"), "Stage");
    EXPECT_FALSE (box().getPasswordButton().getToggleState());
    ASSERT_EQ (user.countCalls ("okCancel"), 2);
    EXPECT_EQ (user.calls.back().title, "Download settings?");
}

TEST_F (ReadbackRoadTest, RefusesAmplifiersThatCannotBeRead)
{
    programThenEdit ({});
    emulator.setFirmwareRevision (777);
    link.disconnect();
    connect();
    readBack();
    EXPECT_TRUE (lastMessage().startsWith ("Readback not supported: "));

    // A revision that could not be read is no reason to update the firmware.
    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 1);
    link.disconnect();
    connect();
    readBack();
    EXPECT_TRUE (lastMessage().startsWith ("No data recieved: The connected amplifier did not answer"));
    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 0);

    unplugAndNotice();
    readBack();
    EXPECT_TRUE (lastMessage().startsWith ("Readback not supported: "));

    EXPECT_EQ (user.countCalls ("okCancel"), 0);
    EXPECT_TRUE (deviceUnchanged());
}

TEST_F (ReadbackRoadTest, RefusesABoxOfAnotherFamily)
{
    programThenEdit ({});
    device().setAttribute ("model", "ZELTA 70");
    diagram = std::make_unique<DiagramView> (*application, presets, 0xff, descriptionShown, user,
                                             [] (juce::Component&) { return 0; });
    diagram->selectDevice (0, true);

    readBack();
    ASSERT_TRUE (lastMessage().startsWith ("Wrong Model Selected: "));
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::warning);
}

TEST_F (ReadbackRoadTest, AnAmplifierSwappedDuringTheQuestionIsNotRead)
{
    programThenEdit ({});
    user.onQuestion = [this] { swapAmplifier(); };

    readBack();

    EXPECT_EQ (lastMessage(), "No data recieved: The connected amplifier changed while a window was open.\n"
                              "Nothing was read.\n");
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readApplicationCommand), 0);
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readSettingsCommand), 0);
    EXPECT_TRUE (deviceUnchanged());
}

TEST_F (ReadbackRoadTest, TransferFaultsLeaveTheDevice)
{
    programThenEdit ("secret");
    // Read at the connection, as the status display does.
    ASSERT_EQ (link.getFirmwareRevision(), 778u);

    emulator.setFault (AmplifierEmulator::Fault::noReply, true);
    readBack();
    EXPECT_EQ (lastMessage(), "No data recieved: The device didn't transfer its settings correctly\n");
    emulator.setFault (AmplifierEmulator::Fault::noReply, false);

    emulator.setFault (AmplifierEmulator::Fault::lostReplyFrame, 1);
    readBack();
    EXPECT_TRUE (lastMessage().startsWith ("No data recieved: "));
    emulator.setFault (AmplifierEmulator::Fault::lostReplyFrame, 0);

    // The locked settings still arrive, but the part that holds their password does not read.
    emulator.setFault (AmplifierEmulator::Fault::unreadableApplication, 1);
    readBack();
    EXPECT_TRUE (lastMessage().startsWith ("No data recieved: "));
    EXPECT_EQ (user.countCalls ("message"), 3);
    EXPECT_EQ (selectionsMade, 0);

    EXPECT_TRUE (prompts.calls.isEmpty());
    EXPECT_TRUE (deviceUnchanged());
}

TEST_F (ReadbackRoadTest, AmplifierWithoutSettingsGivesTheFamilyTemplate)
{
    programThenEdit ({});
    const juce::uint8 endWord[] = { 1, 0, 0, 0 };
    emulator.setStoredBlock (QuobCom::settingsFrames, juce::MemoryBlock (endWord, sizeof (endWord)));

    readBack();

    EXPECT_TRUE (device().isEquivalentTo (presets.getElement (1), false));
    EXPECT_FALSE (box().hasChanged());
    EXPECT_EQ (selectionsMade, 1);
}

TEST_F (ReadbackRoadTest, SettingsWithoutAnApplicationPartKeepTheBoxsNameAndFamily)
{
    programThenEdit ({});
    emulator.setStoredBlock (QuobCom::applicationFrames, {});

    readBack();

    EXPECT_EQ (device().getStringAttribute ("name"), "Edited");
    EXPECT_EQ (device().getStringAttribute ("model"), "ZELTA M") << "else it opens as another family";
    EXPECT_EQ (blockOf (settings()), blockOf (*programmed->getChildByName ("CORVADINE")));
}

// A click while the connection's identity is still being read: the road waits for the read in
// flight instead of stopping it, then reads back as usual.
TEST_F (ReadbackRoadTest, AClickBeforeTheAmplifierIsIdentifiedWaitsForIt)
{
    programThenEdit ("secret");
    reconnect();
    emulator.setFault (AmplifierEmulator::Fault::replyDelayMs, 30);
    const int revisionRequests = emulator.getNumReceived (QuobCom::readRevisionCommand);
    ASSERT_TRUE (identity.startReading()) << "as the status display's tick does";
    prompts.passwords.push_back ("secret");

    readBack();
    EXPECT_EQ (user.countCalls ("okCancel"), 0) << "asked before the revision was known";
    ASSERT_TRUE (waitUntil ([this] { return selectionsMade == 1; }));

    EXPECT_EQ (user.countCalls ("message"), 0);
    EXPECT_EQ (prompts.calls.joinIntoString (","), "enter");
    EXPECT_EQ (device().getStringAttribute ("name"), "Stage");
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readRevisionCommand), revisionRequests + 1)
        << "the read in flight was stopped and made again";
}

// Unplugged while the click waits for the amplifier's identity: the road says that no amplifier is
// connected, not that its firmware needs an update, and reads nothing.
TEST_F (ReadbackRoadTest, AClickWhoseAmplifierLeftWhileItWaitedSaysThatNoneIsConnected)
{
    programThenEdit ({});
    reconnect();
    emulator.setFault (AmplifierEmulator::Fault::replyDelayMs, 300);
    ASSERT_TRUE (identity.startReading());
    const auto callsBefore = user.calls.size();

    readBack();
    unplugAndNotice();
    ASSERT_TRUE (waitUntil ([&] { return user.calls.size() > callsBefore; }));

    EXPECT_EQ (lastMessage(), "No data recieved: No amplifier is connected.\nNothing was read.\n");
    EXPECT_EQ (user.calls.size(), callsBefore + 1);
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readApplicationCommand), 0);
    EXPECT_TRUE (deviceUnchanged());
}

namespace
{
// The link at the program's own pace, so that a synchronisation pass sends for a while.
class ReadbackDuringPassTest : public DeviceRoadTest
{
protected:
    ReadbackDuringPassTest() : DeviceRoadTest (LinkTiming{}) {}
};
} // namespace

// Get settings clicked during a synchronisation pass, before the amplifier is identified: the read
// waits for the link instead of taking the busy link for a silent amplifier, and the road goes on.
TEST_F (ReadbackDuringPassTest, AClickDuringAPassWaitsForTheLinkInsteadOfCallingTheAmplifierSilent)
{
    ASSERT_GT (tickUntilState (link, BaseCom::connected), 0);
    synchroniser.setEnabled (true);
    pendingAnswers = 1;
    synchroniser.tick (&box());
    ASSERT_TRUE (waitUntil ([this] { return framesReceived() > 0; }));

    user.okCancelAnswers.push_back (false);
    readbackRoad.run (box());
    ASSERT_TRUE (synchroniser.isPassRunning()) << "the click came after the pass";
    ASSERT_TRUE (waitUntil ([this] { return !user.calls.empty(); }));

    EXPECT_EQ (user.calls.back().title, "Download settings?");
    EXPECT_EQ (user.countCalls ("message"), 0);
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::applicationFrames), 1) << "the pass was cut short";
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readRevisionCommand), 1);
}
