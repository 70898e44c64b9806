#include "tests/shell/MainContentTestSupport.h"
#include "tests/shell/WizardUser.h"
#include "tests/updates/WizardTestSupport.h"

#include "testing/emulated/ProductIdentity.h"

using namespace maintest;
using namespace wizardtest;

namespace
{
AmplifierEmulator::Identity identityOf (const juce::String& productName)
{
    AmplifierEmulator::Identity identity;
    EXPECT_TRUE (findProductIdentity (productName, identity)) << productName;
    return identity;
}

class StatusDisplayTest : private DesktopReady, public MainContentTest
{
protected:
    explicit StatusDisplayTest (const juce::String& productName = "Zelta 60/2", juce::uint32 revision = 924,
                                AmplifierEmulator::Mode mode = AmplifierEmulator::Mode::application)
        : emulator (identityOf (productName), mode),
          link (emulator.createUsbDevices(), emulator.createMidiPorts(), quickLink())
    {
        emulator.setFirmwareRevision (revision);
        emulator.setSerialNumber (4711);
    }

    // The content uses the link: it goes first.
    ~StatusDisplayTest() override { content.reset(); }

    // The main content with one application holding one device of the family.
    void openWithDeviceOf (const juce::String& family)
    {
        writeFile (folder.getChildFile ("Amp.sapl"), scrambled (applicationText ("Amp", 927, family)));
        make (unreachableEndpoint(), &link);
        // The tick the window sees before the amplifier has connected.
        ASSERT_NE (link.getLinkState(), BaseCom::connected);
        content->timerCallback();
        ASSERT_EQ (content->getDiagram()->getSelectedDevice()->getDeviceFamily().name, family);
    }

    // Waits for the link to reach the state, then one tick of the main content; for a connection,
    // ticks until the amplifier's identity has come (the first tick, unless the machine is slow).
    void reachStateAndTick (int state)
    {
        ASSERT_TRUE (pumpUntil ([&] { return link.getLinkState() == state; }));
        content->timerCallback();
        if (state == BaseCom::connected)
            ASSERT_TRUE (tickUntil ([&] { return status().contains ("Serial Number: "); }));
    }

    bool tickUntil (const std::function<bool()>& condition)
    {
        return pumpUntil (
            [&]
            {
                content->timerCallback();
                return condition();
            });
    }

    int revisionRequests() const { return emulator.getNumReceived (QuobCom::readRevisionCommand); }

    juce::String status() const { return content->getStatusLabel().getText(); }
    juce::Colour statusColour() const
    {
        return content->getStatusLabel().findColour (juce::Label::textColourId);
    }
    juce::Button& programButton() { return content->getProgramButton(); }
    bool getSettingsEnabled() const
    {
        return content->getDiagram()->getSelectedDevice()->getSettingsButton().isEnabled();
    }

    AmplifierEmulator emulator;
    VantorelCom link;
};
} // namespace

// Amplifiers of each family with current firmware, in front of a "ZELTA M" device.
class StatusDisplayFamilies : public StatusDisplayTest, public ::testing::WithParamInterface<const char*>
{
protected:
    StatusDisplayFamilies() : StatusDisplayTest (GetParam()) {}
};

TEST_P (StatusDisplayFamilies, ShowsTheAmplifierAndEnablesTheButtonsOnlyForItsFamilyUntilUnplugged)
{
    openWithDeviceOf ("ZELTA M");
    WizardUser user (WizardUser::Policy::cancel);
    reachStateAndTick (BaseCom::connected);

    const bool suits = juce::String (GetParam()).endsWith ("M");
    EXPECT_EQ (status(), juce::String ("Connected to ") + GetParam() + "\nSerial Number: 4711 Rev:924");
    EXPECT_EQ (statusColour(), juce::Colours::black);
    EXPECT_EQ (programButton().isEnabled(), suits);
    EXPECT_EQ (getSettingsEnabled(), suits);
    EXPECT_EQ (programButton().getButtonText(), "Program");
    EXPECT_TRUE (user.openingHeadlines.isEmpty());

    content->setSyncEnabled (true);
    emulator.unplug();
    reachStateAndTick (BaseCom::idle);
    EXPECT_EQ (status(), "No device connected");
    EXPECT_EQ (statusColour(), juce::Colours::darkgrey);
    EXPECT_FALSE (programButton().isEnabled());
    EXPECT_FALSE (getSettingsEnabled());
    EXPECT_FALSE (content->isSyncEnabled());
}

INSTANTIATE_TEST_SUITE_P (EachFamily, StatusDisplayFamilies,
                          ::testing::Values ("Zelta 60/2", "Zelta 240/2M", "Zelta 120/1-70"));

// Firmware older or newer than the image carried, in front of a device of another family.
struct OtherFirmware
{
    juce::uint32 revision;
    const char* headline;
    const char* buttonText;
    bool programEnabled; // older firmware can be updated from any device
};

class StatusDisplayOtherFirmware : public StatusDisplayTest,
                                   public ::testing::WithParamInterface<OtherFirmware>
{
protected:
    StatusDisplayOtherFirmware() : StatusDisplayTest ("Zelta 60/2", GetParam().revision) {}
};

TEST_P (StatusDisplayOtherFirmware, OffersTheWizardOncePerConnection)
{
    const auto& expected = GetParam();
    openWithDeviceOf ("ZELTA M");
    WizardUser user (WizardUser::Policy::cancel);
    reachStateAndTick (BaseCom::connected);

    ASSERT_EQ (user.openingHeadlines, juce::StringArray (expected.headline));
    EXPECT_EQ (status(),
               "Connected to Zelta 60/2\nSerial Number: 4711 Rev:" + juce::String (expected.revision));
    EXPECT_EQ (programButton().getButtonText(), expected.buttonText);
    EXPECT_EQ (programButton().isEnabled(), expected.programEnabled);

    content->timerCallback();
    EXPECT_EQ (user.openingHeadlines.size(), 1);

    // Choosing the device again resets the synchronisation display, not the firmware offer.
    content->getDiagram()->selectDevice (0, true);
    EXPECT_EQ (programButton().getButtonText(), expected.buttonText);
    EXPECT_EQ (programButton().isEnabled(), expected.programEnabled);

    // The button offers the wizard again, and still after it.
    if (expected.programEnabled)
    {
        programButton().triggerClick();
        ASSERT_TRUE (pumpUntil ([&] { return user.openingHeadlines.size() == 2; }));
        ASSERT_TRUE (pumpUntil ([&] { return !content->getStatusDisplay().isWizardRunning(); }));
        EXPECT_EQ (programButton().getButtonText(), expected.buttonText);
    }
}

INSTANTIATE_TEST_SUITE_P (
    OlderAndNewer, StatusDisplayOtherFirmware,
    ::testing::Values (OtherFirmware{ 900, "Firmware Update Required!", "Update Firmware", true },
                       OtherFirmware{ 950, "Newer Firmware Detected!", "Program", false }));

class StatusDisplayUpdateMode : public StatusDisplayTest
{
protected:
    StatusDisplayUpdateMode() : StatusDisplayTest ("Zelta 60/2", 0, AmplifierEmulator::Mode::update) {}
};

TEST_F (StatusDisplayUpdateMode, TheProgramButtonUpdatesTheFirmwareAndTheAmplifierComesBack)
{
    openWithDeviceOf ("ZELTA");
    emulator.setRevisionAfterUpdate (924);
    reachStateAndTick (BaseCom::connectedInUpdateMode);

    EXPECT_EQ (status(), "Device is in update mode");
    EXPECT_EQ (statusColour(), juce::Colours::darkgrey);
    EXPECT_EQ (programButton().getButtonText(), "Update Firmware");
    EXPECT_TRUE (programButton().isEnabled());
    EXPECT_FALSE (content->isSyncEnabled());

    WizardUser user (WizardUser::Policy::update);
    programButton().triggerClick();
    ASSERT_TRUE (pumpUntil ([&] { return user.openingHeadlines.size() == 1; }));
    ASSERT_TRUE (pumpUntil ([&] { return !content->getStatusDisplay().isWizardRunning(); }));

    EXPECT_EQ (user.openingHeadlines[0], "Firmware Update Required!");
    EXPECT_EQ (emulator.getFirmwareReport().completedUpdates, 1);
    EXPECT_EQ (programButton().getButtonText(), "Program");
    reachStateAndTick (BaseCom::connected);
    EXPECT_EQ (status(), "Connected to Zelta 60/2\nSerial Number: 4711 Rev:924");
    EXPECT_TRUE (programButton().isEnabled());
}

TEST_F (StatusDisplayTest, AnUnreadableRevisionIsUnknownAndReadAgainWithoutOfferingTheWizard)
{
    openWithDeviceOf ("ZELTA");
    WizardUser user (WizardUser::Policy::cancel);
    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 1);
    reachStateAndTick (BaseCom::connected);

    EXPECT_EQ (status(), "Connected to Zelta 60/2\nSerial Number: unknown Rev:unknown");
    EXPECT_TRUE (programButton().isEnabled());
    EXPECT_EQ (programButton().getButtonText(), "Program");

    // Each read holds the link for its attempts (seconds with a silent amplifier): they grow rarer.
    const auto ticksToNextRead = [this]
    {
        const int before = revisionRequests();
        int ticks = 0;
        while (revisionRequests() == before && ticks < 1000)
        {
            content->timerCallback();
            ++ticks;
        }
        EXPECT_TRUE (pumpUntil ([&] { return revisionRequests() == before + 4; })) << "four attempts";
        return ticks;
    };
    ticksToNextRead(); // from a tick that has taken a failed read, as the next ones
    const int firstWait = ticksToNextRead();
    EXPECT_GT (ticksToNextRead(), firstWait);

    emulator.setFault (AmplifierEmulator::Fault::shortWordReplies, 0);
    EXPECT_TRUE (
        tickUntil ([&] { return status() == "Connected to Zelta 60/2\nSerial Number: 4711 Rev:924"; }));
    EXPECT_TRUE (user.openingHeadlines.isEmpty());
}

// The reply time-outs of a silent amplifier are the reader's: the window goes on, and a click on
// Get settings waits only for the read in flight.
TEST_F (StatusDisplayTest, ASilentAmplifierNeverHoldsUpTheWindowAndAClickWaitsOnlyForTheReadInFlight)
{
    openWithDeviceOf ("ZELTA");
    emulator.setFault (AmplifierEmulator::Fault::noReply, 1);
    ASSERT_TRUE (pumpUntil ([&] { return link.getLinkState() == BaseCom::connected; }));
    content->timerCallback();
    EXPECT_EQ (status(), "Connected to Zelta 60/2");
    EXPECT_LE (revisionRequests(), 1) << "the tick waited for the reply time-outs";

    // At the window's own pace: the read ends between two ticks.
    ASSERT_TRUE (pumpUntil ([&] { return status().endsWith ("Rev:unknown"); }));
    EXPECT_EQ (status(), "Connected to Zelta 60/2\nSerial Number: unknown Rev:unknown");
    EXPECT_TRUE (getSettingsEnabled());

    // Clicked while the revision is asked for again: answered once that read has ended, as a
    // click during the first read is.
    const int firstRead = revisionRequests();
    ASSERT_TRUE (tickUntil ([&] { return revisionRequests() > firstRead; }));
    auto* box = content->getDiagram()->getSelectedDevice();
    content->deviceReadbackRequested (*content->getDiagram(), *box);
    EXPECT_TRUE (user.calls.empty()) << "answered from the reading the read in flight replaces";
    ASSERT_TRUE (pumpUntil ([&] { return !user.calls.empty(); }));
    EXPECT_EQ (revisionRequests(), firstRead + 4) << "the read in flight was stopped or not waited for";
    EXPECT_EQ (user.calls.back().title, "No data recieved");
    EXPECT_TRUE (user.calls.back().text.startsWith ("The connected amplifier did not answer"));
}
