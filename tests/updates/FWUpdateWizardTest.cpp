#include "testing/emulated/ProductIdentity.h"
#include "tests/updates/WizardTestSupport.h"

using namespace wizardtest;

namespace
{
// 150 ticks of 10 ms leave a loaded machine time to stream a whole image before the time-out.
constexpr FWUpdateWizard::Timing quickWizard{ 10, 50 };

// The wizard in a modal dialog window, as the program shows it, keeping the window's result.
class ModalWizard
{
public:
    ModalWizard (VantorelCom& link, const FWUpdateWizard::Timing& timing = quickWizard)
        : wizard (link, timing)
    {
        window.setContentNonOwned (&wizard, true);
        window.setVisible (true);
        window.enterModalState (true, juce::ModalCallbackFunction::create ([this] (int r) { result = r; }),
                                false);
    }

    ~ModalWizard() { window.setContentNonOwned (nullptr, false); }

    // A click as the user makes it: nothing happens while the button is disabled or hidden.
    void click (juce::Button& button)
    {
        if (button.isVisible() && button.isEnabled())
            button.triggerClick();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
    void next() { click (wizard.getNextButton()); }
    void cancel() { click (wizard.getCancelButton()); }

    bool reachWizardState (int state)
    {
        return pumpUntil ([&] { return wizard.getState() == state; });
    }
    // The state the wizard moves on to from this one.
    int stateAfter (int state)
    {
        pumpUntil ([&] { return wizard.getState() != state; });
        return wizard.getState();
    }
    bool closedWith (int expected)
    {
        return pumpUntil ([&] { return result != -1; }) && result == expected;
    }

    juce::String headline() { return wizard.getHeadline().getText(); }
    juce::String body() { return wizard.getBody().getText(); }

    FWUpdateWizard wizard;
    juce::DialogWindow window{ "Firmware Update", juce::Colours::lightgrey, false, false };
    int result = -1;
};

class FWUpdateWizardTest : public EmulatedAmplifierTest
{
protected:
    explicit FWUpdateWizardTest (juce::uint32 revision = 900,
                                 const AmplifierEmulator::Identity& identity = zelta60_2(),
                                 const LinkTiming& linkTiming = quickLink())
        : EmulatedAmplifierTest (identity, revision, linkTiming)
    {
    }

    ModalWizard& open (const FWUpdateWizard::Timing& timing = quickWizard)
    {
        EXPECT_TRUE (reachState (BaseCom::connected));
        modal = std::make_unique<ModalWizard> (link, timing);
        return *modal;
    }

    // From the first page up to "Update" with the amplifier in update mode.
    ModalWizard& openReadyToUpdate (const FWUpdateWizard::Timing& timing = quickWizard)
    {
        auto& w = open (timing);
        w.next();
        EXPECT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
        return w;
    }

    std::unique_ptr<ModalWizard> modal;
};

AmplifierEmulator::Identity identityOf (const juce::String& productName)
{
    AmplifierEmulator::Identity identity;
    EXPECT_TRUE (findProductIdentity (productName, identity)) << productName;
    return identity;
}
} // namespace

// Every model's own image goes to it and is taken: the emulator refuses a stream whose messages
// carry another model byte.
class FWUpdateWizardRoad : public FWUpdateWizardTest, public ::testing::WithParamInterface<int>
{
protected:
    FWUpdateWizardRoad() : FWUpdateWizardTest (900, identityOf (getProductName (GetParam()))) {}
};

TEST_P (FWUpdateWizardRoad, RunsThroughTheFivePagesWithTheBarFollowingTheStream)
{
    auto& w = open();
    EXPECT_EQ (w.headline(), "Firmware Update Required!");
    EXPECT_EQ (w.wizard.getPage(), 0);

    w.next();
    EXPECT_EQ (w.wizard.getState(), FWUpdateWizard::awaitingUpdateMode);
    EXPECT_EQ (w.wizard.getPage(), 1);
    EXPECT_EQ (w.wizard.getNextButton().getButtonText(), "Awaiting update mode");
    EXPECT_FALSE (w.wizard.getNextButton().isEnabled());
    EXPECT_TRUE (emulator.getTextCommands().contains ("erasenboot"));

    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
    EXPECT_EQ (link.getLinkState(), BaseCom::connectedInUpdateMode);
    EXPECT_EQ (w.wizard.getPage(), 2);
    EXPECT_EQ (w.wizard.getNextButton().getButtonText(), "Update");

    w.next();
    ASSERT_EQ (w.wizard.getState(), FWUpdateWizard::updating);
    EXPECT_EQ (w.wizard.getPage(), 3);
    EXPECT_FALSE (w.wizard.getCancelButton().isEnabled());
    w.cancel();

    // The bar never runs ahead of the share of the image sent, and never goes back.
    int last = 0, highest = 0;
    const bool completed = pumpUntil (
        [&]
        {
            const int shown = w.wizard.getDisplayedProgress();
            if (link.getLinkState() == BaseCom::streamingFirmware)
                EXPECT_LE (shown, link.getUpdateProgress());
            EXPECT_GE (shown, last);
            last = shown;
            highest = juce::jmax (highest, shown);
            return w.wizard.getState() != FWUpdateWizard::updating;
        });

    ASSERT_TRUE (completed);
    EXPECT_GE (highest, 90);
    EXPECT_EQ (w.wizard.getState(), FWUpdateWizard::complete);
    EXPECT_EQ (w.headline(), "Firmware Update Complete!");
    EXPECT_EQ (w.wizard.getPage(), 4);
    EXPECT_FALSE (w.wizard.getCancelButton().isVisible());
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
    EXPECT_EQ (emulator.getFirmwareRevision(), 924u);
    EXPECT_EQ (link.getLinkState(), BaseCom::connected);

    w.next();
    EXPECT_TRUE (w.closedWith (1));
}

// The nine rows of the product table.
INSTANTIATE_TEST_SUITE_P (EveryModel, FWUpdateWizardRoad, ::testing::Range (0, 9));

// Cancel on every page that offers it closes with 0; pages counted in Next presses from the start.
class FWUpdateWizardCancel : public FWUpdateWizardTest,
                             public ::testing::WithParamInterface<std::tuple<int, int>>
{
protected:
    FWUpdateWizardCancel() : FWUpdateWizardTest ((juce::uint32)std::get<0> (GetParam())) {}
};

TEST_P (FWUpdateWizardCancel, ClosesWithZero)
{
    const int nextPresses = std::get<1> (GetParam());
    auto& w = open();

    if (std::get<0> (GetParam()) > 924)
        EXPECT_EQ (w.headline(), "Newer Firmware Detected!");

    if (nextPresses >= 1)
        w.next();
    if (nextPresses >= 2)
        ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));

    w.cancel();
    EXPECT_TRUE (w.closedWith (0));
    EXPECT_EQ (emulator.getFirmwareReport().messages, 0) << "nothing was streamed";
}

INSTANTIATE_TEST_SUITE_P (Pages, FWUpdateWizardCancel,
                          ::testing::Values (std::make_tuple (900, 0), std::make_tuple (950, 0),
                                             std::make_tuple (900, 1), std::make_tuple (900, 2)));

TEST_F (FWUpdateWizardTest, AnUnplugDuringTheStreamEndsWaitingForUpdateModeAndARetrySucceeds)
{
    auto& w = openReadyToUpdate();
    emulator.unplugAfterFirmwareMessages (20);
    w.next();

    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::failedAwaitingUpdateMode));
    EXPECT_EQ (w.headline(), "Firmware Update Failed!");
    EXPECT_TRUE (w.body().startsWith ("The firmware update timed out"));
    EXPECT_FALSE (w.wizard.getNextButton().isEnabled());
    EXPECT_TRUE (w.wizard.getCancelButton().isEnabled());

    emulator.plugIn (AmplifierEmulator::Mode::update);
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
    w.next();
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::complete));
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
}

// A boot loader that refuses the stream stays in update mode, and the link with it in the streaming
// state until the amplifier goes away: the time-out asks for update mode to be entered again.
TEST_F (FWUpdateWizardTest, ARefusedStreamEndsInTheFailureStateAndRepluggingRetries)
{
    auto& w = openReadyToUpdate();
    emulator.setExpectedFirmwareMessages (3); // the real image has far more
    w.next();

    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::failedAwaitingUpdateMode));
    EXPECT_TRUE (w.body().startsWith ("The firmware update timed out"));
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 0);

    emulator.unplug();
    ASSERT_TRUE (reachState (BaseCom::idle));
    emulator.setExpectedFirmwareMessages (0);
    emulator.plugIn (AmplifierEmulator::Mode::update);
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
    w.next();
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::complete));
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
}

TEST_F (FWUpdateWizardTest, AnAmplifierInUpdateModeAtTheTimeOutIsOfferedARetry)
{
    ASSERT_TRUE (reachState (BaseCom::connected));
    ModalWizard w (link, { 50, 50 }); // 7.5 s until the time-out
    w.next();
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
    emulator.setExpectedFirmwareMessages (3);
    w.next();

    ASSERT_TRUE (pumpUntil ([&] { return link.getUpdateProgress() == 100; }));
    emulator.unplug();
    ASSERT_TRUE (reachState (BaseCom::idle));
    emulator.plugIn (AmplifierEmulator::Mode::update);
    ASSERT_TRUE (reachState (BaseCom::connectedInUpdateMode));

    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::failedInUpdateMode));
    EXPECT_TRUE (w.body().contains ("Press Next to retry"));
    EXPECT_TRUE (w.wizard.getCancelButton().isEnabled());

    emulator.setExpectedFirmwareMessages (0);
    w.next();
    EXPECT_EQ (w.wizard.getState(), FWUpdateWizard::readyToUpdate);
    w.next();
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::complete));
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
}

// The amplifier comes back in application mode without the image's revision: the stream was cut
// near its end and it kept its old revision, or it took the stream and reports another one.
class FWUpdateWizardNotTaken : public FWUpdateWizardTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P (FWUpdateWizardNotTaken, EndsOnTheFailurePageWaitingForUpdateMode)
{
    const bool cut = GetParam();
    auto& w = openReadyToUpdate ({ 100, 50 }); // 15 s until the time-out
    if (cut)
        emulator.unplugAfterFirmwareMessages (470); // of 482
    else
        emulator.setRevisionAfterUpdate (923);
    w.next();

    if (cut)
    {
        ASSERT_TRUE (pumpUntil ([&] { return emulator.getMode() == AmplifierEmulator::Mode::unplugged; }));
        emulator.plugIn (AmplifierEmulator::Mode::application);
    }

    ASSERT_EQ (w.stateAfter (FWUpdateWizard::updating), FWUpdateWizard::failedAwaitingUpdateMode);
    EXPECT_EQ (link.getLinkState(), BaseCom::connected);
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, cut ? 0 : 1);
    EXPECT_EQ (w.headline(), "Firmware Update Failed!");
    EXPECT_TRUE (w.body().startsWith ("The ZELTA restarted without the new firmware")) << w.body();
    EXPECT_TRUE (w.body().endsWith ("When update mode is detected you will be able to proceed."));

    emulator.unplug();
    emulator.plugIn (AmplifierEmulator::Mode::update);
    EXPECT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
}

INSTANTIATE_TEST_SUITE_P (CutOrOtherRevision, FWUpdateWizardNotTaken, ::testing::Bool());

// An amplifier that comes back silent is asked again until the time limit, which the unanswered
// questions count towards.
TEST_F (FWUpdateWizardTest, AnAmplifierSilentAfterTheStreamEndsInTheTimeOut)
{
    auto& w = openReadyToUpdate ({ 40, 50 }); // 6 s until the time-out; each question takes 0.8 s
    emulator.setFault (AmplifierEmulator::Fault::noReply, 1);
    w.next();

    ASSERT_EQ (w.stateAfter (FWUpdateWizard::updating), FWUpdateWizard::failedAwaitingUpdateMode);
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
    EXPECT_TRUE (w.body().startsWith ("The firmware update timed out"));
}

// Each question for the revision waits 5 s for an answer, longer than the wizard waits for its
// watcher when it closes.
class FWUpdateWizardLongReplyWait : public FWUpdateWizardTest
{
protected:
    FWUpdateWizardLongReplyWait() : FWUpdateWizardTest (900, zelta60_2(), longReplyWait()) {}

    static LinkTiming longReplyWait()
    {
        auto timing = quickLink();
        timing.maxReplyPolls = 5000;
        return timing;
    }
};

TEST_F (FWUpdateWizardLongReplyWait, TheWatcherStopsWhileAskingASilentAmplifier)
{
    auto& w = openReadyToUpdate();
    emulator.setFault (AmplifierEmulator::Fault::noReply, 1);
    const int asked = emulator.getNumReceived (QuobCom::readRevisionCommand);
    w.next();

    ASSERT_TRUE (pumpUntil ([&] { return emulator.getNumReceived (QuobCom::readRevisionCommand) > asked; }));
    EXPECT_TRUE (w.wizard.stopWatcher());
}

// The amplifier's row carries another model's image (a build that mixed them up): nothing goes out.
TEST_F (FWUpdateWizardTest, AnImageOfAnotherModelIsNotStreamed)
{
    auto* own = link.getProductList().getProduct (7);
    const auto* other = link.getProductList().getProduct (8);
    ASSERT_EQ (own->getModelId(), zelta60_2().modelId);
    ASSERT_NE (other->getModelId(), own->getModelId());
    *own = ProductInfo (own->getName(), own->getPlatform(), own->getAppProductId(), own->getBootProductId(),
                        own->getModelId(), own->getMidiPortName(), own->getBootMidiPortName(),
                        other->getFirmwareImage());

    auto& w = openReadyToUpdate();
    w.next();
    ASSERT_NE (w.wizard.getState(), FWUpdateWizard::updating);

    // The amplifier is still in update mode, so the failure page soon offers "Update" again.
    ASSERT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
    EXPECT_EQ (link.getLinkState(), BaseCom::connectedInUpdateMode);
    EXPECT_EQ (emulator.getFirmwareReport().messages, 0);
}

TEST_F (FWUpdateWizardTest, UpdateWithoutTheAmplifierInUpdateModeCannotStart)
{
    auto& w = openReadyToUpdate();
    emulator.unplug();
    ASSERT_TRUE (reachState (BaseCom::idle));

    w.next();
    EXPECT_EQ (w.wizard.getState(), FWUpdateWizard::failedAwaitingUpdateMode);
    EXPECT_EQ (w.wizard.getPage(), 4);
    EXPECT_TRUE (w.body().startsWith ("The firmware update could not be started."));
    EXPECT_FALSE (w.wizard.getNextButton().isEnabled());
    EXPECT_EQ (emulator.getFirmwareReport().messages, 0);

    w.cancel();
    EXPECT_TRUE (w.closedWith (0));
}

// The wait for the boot loader to settle must leave the message loop running.
TEST_F (FWUpdateWizardTest, TheWindowKeepsAnsweringWhileUpdateModeSettles)
{
    ASSERT_TRUE (reachState (BaseCom::connected));
    ModalWizard w (link, { 5, 2000 });
    w.next();
    ASSERT_TRUE (reachState (BaseCom::connectedInUpdateMode));
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100); // the watcher sees it

    int stateWhenAnswered = -1;
    juce::MessageManager::callAsync ([&] { stateWhenAnswered = w.wizard.getState(); });
    ASSERT_TRUE (pumpUntil ([&] { return stateWhenAnswered != -1; }));
    EXPECT_EQ (stateWhenAnswered, FWUpdateWizard::awaitingUpdateMode);
    EXPECT_TRUE (w.reachWizardState (FWUpdateWizard::readyToUpdate));
}

// The watcher waiting for the message-manager lock must not hold up the message thread's wait
// for it.
TEST_F (FWUpdateWizardTest, TheWatcherStopsWhileTheMessageThreadHoldsTheLock)
{
    FWUpdateWizard wizard (link, { 1, 50 });
    juce::Thread::sleep (100); // not dispatching: the watcher now waits for the lock
    EXPECT_TRUE (wizard.stopWatcher());
}
