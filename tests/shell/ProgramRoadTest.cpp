#include "shell/PasswordKey.h"
#include "tests/shell/DeviceRoadTestSupport.h"

namespace
{
class ProgramRoadTest : public DeviceRoadTest
{
protected:
    ProgramRoadTest()
    {
        connect();
        // A second EFFECT with the first one's Id, holding other values.
        auto* first = settings().getChildByName ("EFFECT");
        originalBlock = blockOf (settings());
        auto* repeated = new juce::XmlElement (*first);
        for (auto* parameter : repeated->getChildWithTagNameIterator ("PARAMETER"))
            parameter->setAttribute ("StepValue", 99);
        settings().addChildElement (repeated);
        before = std::make_unique<juce::XmlElement> (device());
    }

    bool workingCopyUnchanged() { return device().isEquivalentTo (before.get(), false); }

    // A locked Program click while the identity read the status display's tick started is in
    // flight, with an amplifier that answers after the delay.
    void clickLockedWhileIdentifying (int replyDelayMs)
    {
        emulator.setFault (AmplifierEmulator::Fault::replyDelayMs, replyDelayMs);
        ASSERT_TRUE (identity.startReading());
        setPadlock (true);
        prompts.passwords.push_back ("secret");
        program();
    }

    void expectStoredKeySaltedWith (juce::uint32 serialNumber)
    {
        auto stored = storedApplication();
        ASSERT_NE (stored, nullptr);
        auto* password = stored->getChildByName ("Password");
        ASSERT_NE (password, nullptr);
        EXPECT_EQ (password->getStringAttribute ("value"), makePasswordKey ("secret", serialNumber));
    }

    juce::MemoryBlock originalBlock;
    std::unique_ptr<juce::XmlElement> before;
};
} // namespace

TEST_F (ProgramRoadTest, LockedDeviceGoesOutWithItsKeyAndWithoutRepeatedEffects)
{
    setPadlock (true);
    prompts.passwords.push_back ("secret");

    EXPECT_FALSE (program());

    EXPECT_EQ (prompts.calls.joinIntoString (","), "choose,done");
    EXPECT_EQ (emulator.getStoredBlock (QuobCom::settingsFrames), originalBlock) << "the first EFFECT wins";

    auto stored = storedApplication();
    ASSERT_NE (stored, nullptr);
    auto* password = stored->getFirstChildElement();
    ASSERT_NE (password, nullptr);
    EXPECT_TRUE (password->hasTagName ("Password"));
    EXPECT_EQ (password->getStringAttribute ("value"), makePasswordKey ("secret", 0x00012345));
    EXPECT_EQ (stored->getStringAttribute ("name"), "Stage");

    EXPECT_TRUE (workingCopyUnchanged());
    EXPECT_EQ (user.countCalls ("message"), 0);
}

TEST_F (ProgramRoadTest, UnlockedDeviceGoesOutWithoutAPasswordItsElementHolds)
{
    device().insertChildElement (new juce::XmlElement ("Password"), 0);
    device().getFirstChildElement()->setAttribute ("value", "123");
    before = std::make_unique<juce::XmlElement> (device());

    program();

    auto stored = storedApplication();
    ASSERT_NE (stored, nullptr);
    EXPECT_EQ (stored->getChildByName ("Password"), nullptr);
    EXPECT_TRUE (workingCopyUnchanged());
    EXPECT_EQ (prompts.calls.joinIntoString (","), "done");
}

TEST_F (ProgramRoadTest, CancelledPasswordSendsNothing)
{
    setPadlock (true);
    prompts.passwords.push_back (std::nullopt);

    EXPECT_FALSE (program());

    EXPECT_EQ (prompts.calls.joinIntoString (","), "choose");
    EXPECT_EQ (framesReceived(), 0);
    EXPECT_EQ (user.countCalls ("message"), 0);
}

TEST_F (ProgramRoadTest, FailedTransfersSayWhatHappenedAndOfferNoSynchronisation)
{
    // Settings that do not fit into a block.
    auto* effect = settings().getChildByName ("EFFECT");
    for (int i = 0; i < 5000; ++i)
    {
        auto* parameter = effect->createNewChildElement ("PARAMETER");
        parameter->setAttribute ("Id", 200 + i);
        parameter->setAttribute ("StepValue", i);
    }
    prompts.syncAnswers.push_back (true);

    EXPECT_FALSE (program());
    effect->deleteAllChildElements();

    // Unplugged during the transfer, before any tick could notice.
    emulator.unplugAfterIncomingFrames (3);
    EXPECT_FALSE (program());

    unplugAndNotice();
    EXPECT_FALSE (program());
    EXPECT_FALSE (program (nullptr));

    ASSERT_EQ (user.calls.size(), 4u);
    EXPECT_EQ (user.calls[0].title, "Programming failed!");
    EXPECT_EQ (user.calls[0].text, "The settings do not fit into the amplifier's settings memory.");
    EXPECT_EQ (user.calls[1].text, "The connection to the amplifier was lost during the transfer.");
    EXPECT_EQ (user.calls[2].text, "No amplifier is connected.");
    EXPECT_EQ (user.calls[3].text, "No amplifier settings available.");
    EXPECT_EQ (user.calls[3].icon, UserInteraction::Icon::warning);
    EXPECT_TRUE (prompts.calls.isEmpty()) << "no \"Programming Done\" after a failure";
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 0);
}

TEST_F (ProgramRoadTest, SynchronisationNeedsTheToggle)
{
    prompts.syncAnswers = { false, true };
    EXPECT_FALSE (program());
    EXPECT_TRUE (program());
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 2);
}

TEST_F (ProgramRoadTest, OnlyTheAmplifierTheRoadBeganWithIsProgrammedAndSynchronised)
{
    // Swapped while the password window is open: the key is salted for the amplifier that went.
    setPadlock (true);
    prompts.passwords.push_back ("secret");
    prompts.whileOpen = [this] { swapAmplifier(); };
    EXPECT_FALSE (program());
    EXPECT_EQ (framesReceived(), 0);
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().text,
               "The connected amplifier changed while a window was open.\nNothing was sent.");

    // Swapped while "Programming Done" is open: passes would go to the other amplifier.
    setPadlock (false);
    prompts.syncAnswers.push_back (true);
    prompts.whileOpen = [this] { swapAmplifier(); };
    EXPECT_FALSE (program());
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 1);

    // A "ZELTA" box with the "ZELTA M" amplifier.
    prompts.whileOpen = nullptr;
    device().setAttribute ("model", "ZELTA");
    diagram = std::make_unique<DiagramView> (*application, presets, 0xff, descriptionShown, user,
                                             [] (juce::Component&) { return 0; });
    diagram->selectDevice (0, true);
    EXPECT_FALSE (program());
    EXPECT_EQ (user.calls.back().text,
               "The connected amplifier is not of the selected device's family.\nNothing was sent.");
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 1);
}

TEST_F (ProgramRoadTest, NoLockWithoutTheSerialNumber)
{
    setPadlock (true);
    prompts.passwords.push_back ("secret");
    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 1);
    link.disconnect();
    connect();

    EXPECT_FALSE (program());

    EXPECT_EQ (framesReceived(), 0)
        << "a key salted with an unread serial number would lock the amplifier for good";
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().title, "Programming failed!");
}

// A click before the connection's identity read has ended: the road waits for the read in flight
// and salts the key with this amplifier's serial number, not with none and not with the last one's.
TEST_F (ProgramRoadTest, ALockedDeviceClickedBeforeTheAmplifierIsIdentifiedWaitsForIt)
{
    swapAmplifier();
    const int revisionRequests = emulator.getNumReceived (QuobCom::readRevisionCommand);
    clickLockedWhileIdentifying (30);
    EXPECT_TRUE (prompts.calls.isEmpty()) << "the password is asked for once the serial number is known";
    ASSERT_TRUE (waitUntil ([this] { return programRoadsFinished == 1; }));

    EXPECT_EQ (user.countCalls ("message"), 0);
    EXPECT_EQ (emulator.getNumReceived (QuobCom::readRevisionCommand), revisionRequests + 1)
        << "the read in flight was not waited for";
    expectStoredKeySaltedWith (0x00054321);
}

// An amplifier that could not be programmed anyway is refused before the password is asked for.
TEST_F (ProgramRoadTest, ALockedDeviceIsRefusedBeforeThePasswordIsAskedFor)
{
    // A "ZELTA" box with the "ZELTA M" amplifier.
    device().setAttribute ("model", "ZELTA");
    diagram = std::make_unique<DiagramView> (*application, presets, 0xff, descriptionShown, user,
                                             [] (juce::Component&) { return 0; });
    diagram->selectDevice (0, true);
    setPadlock (true);
    prompts.passwords = { "secret", "secret" };

    program();
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().text,
               "The connected amplifier is not of the selected device's family.\nNothing was sent.");

    unplugAndNotice();
    program();
    ASSERT_EQ (user.countCalls ("message"), 2);
    EXPECT_EQ (user.calls.back().text, "No amplifier is connected.");

    EXPECT_TRUE (prompts.calls.isEmpty());
    EXPECT_EQ (framesReceived(), 0);
}

// The read a locked click waits for reached the amplifier, which was then swapped for another: the
// amplifier there now is read, and the key is salted with its serial number.
TEST_F (ProgramRoadTest, AClickWaitingForAReadThatAnotherAmplifierOvertookReadsThatOne)
{
    reconnect();
    const int revisionRequests = emulator.getNumReceived (QuobCom::readRevisionCommand);
    clickLockedWhileIdentifying (300);
    ASSERT_TRUE (waitUntil (
        [&] { return emulator.getNumReceived (QuobCom::readRevisionCommand) > revisionRequests; }));
    swapAmplifier();
    ASSERT_TRUE (waitUntil ([this] { return programRoadsFinished == 1; }));

    EXPECT_EQ (user.countCalls ("message"), 0);
    expectStoredKeySaltedWith (0x00054321);
}

// One of the program's windows (the EQ or the Save dialog, say) is open when the read a locked click
// waits for ends: the road is dropped, so its password window never opens over that window.
TEST_F (ProgramRoadTest, AClickWaitingForTheReadIsDroppedWhenAWindowIsOpenAsItEnds)
{
    reconnect();
    clickLockedWhileIdentifying (100);

    juce::Component window;
    window.enterModalState (false);
    ASSERT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 1);
    ASSERT_TRUE (identity.waitForReading (30000));
    // The read's end is announced before its thread ends.
    ASSERT_TRUE (dispatchPendingMessages());
    window.exitModalState (0);
    ASSERT_TRUE (dispatchPendingMessages());

    EXPECT_TRUE (prompts.calls.isEmpty());
    EXPECT_EQ (programRoadsFinished, 0);
    EXPECT_EQ (framesReceived(), 0);
}
