#include "shell/PasswordKey.h"
#include "tests/shell/DeviceRoadTestSupport.h"

namespace
{
class DeviceSynchroniserTest : public DeviceRoadTest
{
protected:
    explicit DeviceSynchroniserTest (const LinkTiming& timing = quickFrames()) : DeviceRoadTest (timing)
    {
        connect();
    }

    // Programs the box as the user would, with synchronisation asked for, and switches it on.
    void programWithSync (const juce::String& password)
    {
        setPadlock (password.isNotEmpty());
        if (password.isNotEmpty())
            prompts.passwords.push_back (password);
        prompts.syncAnswers.push_back (true);
        ASSERT_TRUE (program());
        synchroniser.setEnabled (true);
    }

    void changePageAndTick()
    {
        pendingAnswers = 1;
        synchroniser.tick (&box());
    }
};

// A full settings block and application part at the program's frame pacing: several seconds.
class SlowSynchroniserTest : public DeviceSynchroniserTest
{
protected:
    SlowSynchroniserTest() : DeviceSynchroniserTest (LinkTiming{}) {}
};
} // namespace

TEST_F (DeviceSynchroniserTest, PassSendsWhatTheProgramRoadSent)
{
    programWithSync ("secret");
    const auto programmed = emulator.getStoredBlock (QuobCom::settingsFrames);
    settings().addChildElement (new juce::XmlElement (*settings().getChildByName ("EFFECT")));

    changePageAndTick();
    EXPECT_TRUE (box().isSyncAnimVisible());
    ASSERT_TRUE (waitForPassEnd());

    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 2);
    EXPECT_EQ (emulator.getStoredBlock (QuobCom::settingsFrames), programmed)
        << "the repeated EFFECT is left out";
    auto stored = storedApplication();
    ASSERT_NE (stored, nullptr);
    ASSERT_NE (stored->getChildByName ("Password"), nullptr) << "a pass must keep the amplifier locked";
    EXPECT_EQ (stored->getChildByName ("Password")->getStringAttribute ("value"),
               makePasswordKey ("secret", 0x00012345));
    EXPECT_EQ (prompts.calls.joinIntoString (","), "choose,done") << "a pass never asks";

    // The spinner goes at the first tick with nothing pending.
    synchroniser.tick (&box());
    EXPECT_FALSE (box().isSyncAnimVisible());
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 2);
}

TEST_F (DeviceSynchroniserTest, ChangesMadeWhileOffWaitForSynchronisation)
{
    pendingAnswers = 1;
    synchroniser.tick (&box());
    EXPECT_EQ (pendingAnswers, 1) << "the pages' flags are not consumed while off";

    programWithSync ({});
    synchroniser.tick (&box());
    EXPECT_EQ (pendingAnswers, 0);
    ASSERT_TRUE (waitForPassEnd());
    EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::settingsFrames), 2);

    // Off forgets the key: the next programming decides again.
    synchroniser.setEnabled (false);
    synchroniser.setEnabled (true);
    changePageAndTick();
    ASSERT_TRUE (waitForPassEnd());
    EXPECT_EQ (storedApplication()->getChildByName ("Password"), nullptr);
}

TEST_F (DeviceSynchroniserTest, FailedPassSwitchesOffAndSaysSo)
{
    programWithSync ({});
    auto* effect = settings().getChildByName ("EFFECT");
    for (int i = 0; i < 5000; ++i)
        effect->createNewChildElement ("PARAMETER")->setAttribute ("StepValue", i);

    changePageAndTick();
    ASSERT_TRUE (waitForPassEnd());
    EXPECT_EQ (switchOffs, 0);

    synchroniser.tick (&box());
    EXPECT_EQ (switchOffs, 1);
    EXPECT_FALSE (synchroniser.isEnabled());
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().title, "Programming failed!");
    EXPECT_TRUE (user.calls.back().text.startsWith ("The settings do not fit"));
}

TEST_F (SlowSynchroniserTest, HoldStopsARunningPassBetweenFramesAndKeepsNewOnesOff)
{
    programWithSync ({});
    const int programmedFrames = framesReceived();

    changePageAndTick();
    ASSERT_TRUE (waitUntil ([&] { return framesReceived() > programmedFrames; }));

    {
        const DeviceSynchroniser::LinkHold hold (synchroniser);
        EXPECT_FALSE (synchroniser.isPassRunning());
        EXPECT_LT (framesReceived(), 2 * programmedFrames) << "the pass must not finish its blocks";
        EXPECT_EQ (emulator.getNumStoredBlocks (QuobCom::applicationFrames), 1);

        changePageAndTick();
        EXPECT_FALSE (synchroniser.isPassRunning());
        EXPECT_EQ (pendingAnswers, 1) << "held: the change waits";
    }

    synchroniser.tick (&box());
    EXPECT_TRUE (synchroniser.isPassRunning());
    synchroniser.stopPass();
    EXPECT_EQ (user.countCalls ("message"), 0) << "a stopped pass is no failure";
}

// A readback or a programming that stops a pass and then does not replace the device (cancelled,
// refused, failed) must not leave the amplifier without the change that pass was sending.
TEST_F (SlowSynchroniserTest, ChangeOfAStoppedPassGoesOutAtTheNextTick)
{
    programWithSync ({});
    const int programmedFrames = framesReceived();
    device().setAttribute ("name", "Edited");

    changePageAndTick();
    ASSERT_TRUE (waitUntil ([&] { return framesReceived() > programmedFrames; }));
    {
        const DeviceSynchroniser::LinkHold hold (synchroniser);
    }

    synchroniser.tick (&box());
    EXPECT_TRUE (box().isSyncAnimVisible());
    ASSERT_TRUE (waitForPassEnd());
    ASSERT_EQ (emulator.getNumStoredBlocks (QuobCom::applicationFrames), 2);
    EXPECT_EQ (storedApplication()->getStringAttribute ("name"), "Edited");
}

// The pages edit the working application while passes send it: each pass must send its own copy.
// Also run under ThreadSanitizer (scripts/tsan.sh).
TEST_F (DeviceSynchroniserTest, PageEditsWhilePassesRun)
{
    programWithSync ({});
    auto* effect = settings().getChildByName ("EFFECT");
    int passes = 0;

    for (int edit = 0; edit < 400 && passes < 5; ++edit)
    {
        effect->setAttribute ("Edit", edit);
        effect->createNewChildElement ("Note")->setAttribute ("n", edit);
        device().setAttribute ("name", "Stage " + juce::String (edit));

        if (!synchroniser.isPassRunning())
        {
            changePageAndTick();
            passes += synchroniser.isPassRunning() ? 1 : 0;
        }
        juce::Thread::sleep (1);
    }

    ASSERT_TRUE (waitForPassEnd());
    synchroniser.tick (&box());
    EXPECT_EQ (user.countCalls ("message"), 0);
    EXPECT_GE (emulator.getNumStoredBlocks (QuobCom::applicationFrames), 2);
    EXPECT_TRUE (storedApplication()->getStringAttribute ("name").startsWith ("Stage "));
}
