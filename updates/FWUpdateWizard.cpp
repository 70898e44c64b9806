#include "updates/FWUpdateWizard.h"

#include "look/ColourScheme.h"

namespace
{
constexpr int marginX = 15, marginY = 15;
constexpr int buttonWidth = 150, buttonHeight = 25;
constexpr int badgeSize = 150;
constexpr int pageAreaWidth = 144, pageAreaHeight = 16;
constexpr int footerHeight = 55;
constexpr int numPages = 5;

const char* const headlines[] = {
    "Firmware Update Required!", "Enable Firmware Update Mode", "Firmware Update",
    "Firmware Updating",         "Firmware Update Complete!",   "Firmware Update Failed!",
    "Firmware Update Failed!",   "Firmware Update Failed!",     "Newer Firmware Detected!",
};

const char* const bodies[] = {
    "The firmware in the connected ZELTA is incompatible with this version of the Vantorel. The firmware "
    "must be updated in order to proceed.\n\nPress Next to proceed with firmware update or Cancel to abort.",

    "In order for the update to proceed you need to put the ZELTA in update mode.\n\nIf this does not "
    "happen automatically, press and hold the recessed UTIL button on the back plate of the ZELTA.\n\nWhen "
    "update mode is detected you will be able to proceed.",

    "The connected ZELTA is now ready to be updated.\n\nThe update will take approximately 10 seconds. "
    "Please, do not turn the ZELTA off while the update is running.",

    "The connected ZELTA is now being updated.\n\nThe update will take approximately 10 seconds. Please, do "
    "not turn the ZELTA off while the update is running.",

    "The firmware in the connected ZELTA has been successfully updated.",

    "The firmware update timed out waiting for the ZELTA to reboot. The firmware may be in a corrupted "
    "state.\n\nIn order to proceed you must put the ZELTA in update mode.\n\nRemove mains power and USB "
    "cable from the ZELTA. Wait for power LED to turn off. Then press and hold the recessed UTIL button "
    "while inserting the USB cable.\n\nWhen update mode is detected you will be able to proceed.",

    "The firmware update timed out waiting for the ZELTA to reboot. The firmware may be in a corrupted "
    "state.\n\nThe ZELTA is now in update mode. Press Next to retry firmware update or press Cancel to "
    "abort.\n\n",

    "The firmware update could not be started. \n\nIn order to proceed you need to put the ZELTA in update "
    "mode.\n\nRemove mains power and USB cable from the ZELTA.  Wait for power LED to turn off. Then press "
    "and hold the recessed UTIL button while inserting the USB cable.\n\nWhen update mode is detected you "
    "will be able to proceed.",

    "The firmware in the connected ZELTA is newer than the one included in this version of the Vantorel. "
    "Correct operation can not be guarantied.\n\nPress Next to downgrade the device firmware or Cancel to "
    "continue working with the never firmware.",
};

const char* const awaitingText = "Awaiting update mode";

// Takes the place of the time-out's first sentences when the amplifier came back without the new
// firmware; what to do next stays the same.
const char* const notTakenReason =
    "The ZELTA restarted without the new firmware: the update did not complete.";
} // namespace

void FWUpdateWizard::SettleTimer::timerCallback()
{
    stopTimer();
    owner.enterReadyToUpdate();
}

FWUpdateWizard::FWUpdateWizard (VantorelCom& linkToUse, const Timing& timingToUse)
    : juce::Thread ("Wiz Timer Thread"), link (linkToUse), timing (timingToUse),
      pageIndicator (numPages, juce::Colour (211, 211, 211), getLookAndFeel().findColour (accentColourId))
{
    state = link.compareFirmware() == 1 ? newerFirmware : required;

    headline.setFont (juce::Font (16.0f, juce::Font::bold));
    body.setJustificationType (juce::Justification::topLeft);
    addAndMakeVisible (headline);
    addAndMakeVisible (body);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (nextButton);
    cancelButton.addListener (this);
    nextButton.addListener (this);

    showTexts (state);
    pageIndicator.setPage (0);
    setWantsKeyboardFocus (true);
    setSize (420, 270);
    startThread();
}

FWUpdateWizard::~FWUpdateWizard()
{
    stopWatcher();
    settleTimer.stopTimer();
    cancelButton.removeListener (this);
    nextButton.removeListener (this);
}

bool FWUpdateWizard::stopWatcher()
{
    // The watcher gives up a pending wait for the message-manager lock when told to exit, so this
    // wait on the message thread cannot hold it up.
    return stopThread (2000);
}

void FWUpdateWizard::buttonClicked (juce::Button* button)
{
    if (button == &nextButton)
        handleEvent (next);
    else if (button == &cancelButton)
        handleEvent (cancel);
}

void FWUpdateWizard::showTexts (int textState)
{
    headline.setText (headlines[textState], juce::dontSendNotification);
    body.setText (bodies[textState], juce::dontSendNotification);
}

void FWUpdateWizard::goTo (int newState, int page, const juce::String& nextText, bool nextEnabled)
{
    state = newState;
    pageIndicator.setPage (page);
    showTexts (newState);
    nextButton.setButtonText (nextText);
    nextButton.setEnabled (nextEnabled);
    repaint();
}

void FWUpdateWizard::handleEvent (int event)
{
    // Cancel closes every page that offers it; where it is disabled or hidden it cannot be pressed.
    if (event == cancel)
    {
        if (state != updating && state != complete)
            closeWithResult (0);
        return;
    }

    switch (state)
    {
        case required:
        case newerFirmware:
            if (event == next)
            {
                goTo (awaitingUpdateMode, 1, awaitingText, false);
                link.enterUpdateMode();
            }
            break;

        case awaitingUpdateMode:
            // The watcher reports update mode at every pass; one wait is enough.
            if (event == updateModeSeen && !settleTimer.isTimerRunning())
                settleTimer.startTimer (timing.updateModeSettleMs);
            break;

        case readyToUpdate:
            if (event == next)
                startUpdate();
            break;

        case updating:
            if (event == updateFinished)
            {
                goTo (complete, 4, "OK", true);
                cancelButton.setVisible (false);
            }
            else if (event == timeOut)
            {
                timedOut();
            }
            break;

        case complete:
            if (event == next)
                closeWithResult (1);
            break;

        case failedAwaitingUpdateMode:
            if (event == updateModeSeen)
                enterReadyToUpdate();
            break;

        case failedInUpdateMode:
            if (event == next)
                enterReadyToUpdate();
            break;

        default:
            break;
    }
}

void FWUpdateWizard::enterReadyToUpdate()
{
    goTo (readyToUpdate, 2, "Update", true);
}

void FWUpdateWizard::startUpdate()
{
    displayedProgress = 0;
    tickCounter = 0;

    const auto* product = link.getCurrentProduct();
    if (product != nullptr && imageSuitsAmplifier() && link.requestFirmwareUpdate())
    {
        streamedModelId = product->getModelId();
        streamedRevision = (juce::uint32)product->getFirmwareImage().getRevision();
        goTo (updating, 3, "Updating", false);
        cancelButton.setEnabled (false);
        return;
    }

    awaitUpdateModeAfterFailure();
    showTexts (couldNotStart);
}

void FWUpdateWizard::timedOut()
{
    if (link.getLinkState() == BaseCom::connectedInUpdateMode)
        goTo (failedInUpdateMode, 4, "Next", true);
    else
        goTo (failedAwaitingUpdateMode, 4, awaitingText, false);

    cancelButton.setEnabled (true);
}

void FWUpdateWizard::awaitUpdateModeAfterFailure()
{
    goTo (failedAwaitingUpdateMode, 4, awaitingText, false);
    cancelButton.setEnabled (true);
}

void FWUpdateWizard::confirmUpdate (juce::uint32 revision, int ticksSpent)
{
    if (state != updating)
        return;

    if (revision != 0)
    {
        const auto* product = link.getCurrentProduct();
        if (product != nullptr && product->getModelId() == streamedModelId && revision == streamedRevision)
        {
            handleEvent (updateFinished);
            return;
        }

        awaitUpdateModeAfterFailure();
        body.setText (
            juce::String (notTakenReason) + "\n\n" +
                juce::String (bodies[failedAwaitingUpdateMode]).fromFirstOccurrenceOf ("\n\n", false, false),
            juce::dontSendNotification);
        return;
    }

    // No answer yet (the amplifier may still be starting): it is asked again, and the time the
    // question took counts towards the limit, which a silent amplifier would otherwise stretch.
    tickCounter = (juce::uint8)juce::jmin ((int)tickCounter + ticksSpent, (int)tickLimit + 1);
    if (tickCounter > tickLimit)
        handleEvent (timeOut);
}

bool FWUpdateWizard::imageSuitsAmplifier() const
{
    const auto* product = link.getCurrentProduct();
    if (product == nullptr || product->getFirmwareImage().getSize() == 0)
        return false;

    const auto modelId = product->getModelId();
    const auto carriesModel = [modelId] (const juce::MidiMessage& message)
    {
        const auto* bytes = message.getRawData();
        return message.getRawDataSize() >= 7 && bytes[0] == 0xf0 && bytes[5] == modelId;
    };

    // A copy, so that the streamer's cursor is left alone. Each message is a fresh object: the
    // framework's move assignment of a long message leaks the one it replaces.
    FirmwareImage image (product->getFirmwareImage());
    if (!carriesModel (image.rewind()))
        return false;

    while (!image.isAtEnd())
        if (!carriesModel (image.getNextMessage()))
            return false;

    return true;
}

void FWUpdateWizard::closeWithResult (int result)
{
    settleTimer.stopTimer();
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (result);
}

//==============================================================================
template <typename Call> bool FWUpdateWizard::withMessageLock (Call&& call)
{
    // Gives up, unlocked, when this thread is asked to exit.
    const juce::MessageManagerLock lock (this);
    if (!lock.lockWasGained())
        return false;
    call();
    return true;
}

void FWUpdateWizard::run()
{
    while (!threadShouldExit())
    {
        if (!withMessageLock ([this] { watch(); }))
            return;

        if (revisionWanted)
        {
            revisionWanted = false;
            // Up to a few seconds when the amplifier is silent; a request ends early once this
            // thread is asked to exit.
            const auto started = juce::Time::getMillisecondCounter();
            const auto revision = link.getFirmwareRevision();
            const auto ticksSpent = (int)((juce::Time::getMillisecondCounter() - started) /
                                          (juce::uint32)juce::jmax (1, timing.watchIntervalMs));

            if (!withMessageLock ([&] { confirmUpdate (revision, ticksSpent); }))
                return;
        }

        wait (timing.watchIntervalMs);
    }
}

void FWUpdateWizard::watch()
{
    const int linkState = link.getLinkState();

    if (state == awaitingUpdateMode || state == failedAwaitingUpdateMode)
    {
        if (linkState == BaseCom::connectedInUpdateMode)
            handleEvent (updateModeSeen);
        return;
    }

    if (state != updating)
        return;

    bool amplifierBack = false;
    if (displayedProgress < 90)
    {
        juce::Random random;
        displayedProgress =
            juce::jmin (displayedProgress + 5 + random.nextInt (10), link.getUpdateProgress());
        repaint (progressBar);
    }
    else
    {
        amplifierBack = linkState == BaseCom::connected;
    }

    if (++tickCounter > tickLimit)
        handleEvent (timeOut);
    else // back in application mode: the amplifier's revision decides, once it is read
        revisionWanted = amplifierBack;
}

//==============================================================================
void FWUpdateWizard::resized()
{
    const int w = getWidth(), h = getHeight();
    footer = { 0, h - footerHeight, w, footerHeight };
    cancelButton.setBounds (marginX, h - 40, buttonWidth, buttonHeight);
    nextButton.setBounds (w - buttonWidth - marginX, h - 40, buttonWidth, buttonHeight);
    headline.setBounds (marginX, marginY, w - 2 * marginX, 18);
    body.setBounds (marginX, 48, w - 2 * marginX, footer.getY() - 48);
    badge = { w - 135, (h - badgeSize) / 2, badgeSize, badgeSize };
    pageArea = { w - 159, marginY, pageAreaWidth, pageAreaHeight };
    progressBar = { marginX, h - 110, w - 2 * marginX, 25 };
}

void FWUpdateWizard::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    const auto background = getLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId);
    const auto dark = background.darker (0.4f);
    g.setGradientFill (juce::ColourGradient (dark, 0.0f, (float)footer.getY(), background.brighter (0.4f),
                                             0.0f, (float)getHeight(), false));
    g.fillRect (footer);
    g.setColour (dark);
    g.drawHorizontalLine (footer.getY(), 0.0f, (float)getWidth());

    const auto accent = findColour (accentColourId).withAlpha (0.2f);
    g.setColour (accent);
    g.drawEllipse (badge.toFloat().reduced (2.5f), 5.0f);
    g.setFont (juce::Font (0.9f * badgeSize, juce::Font::bold));
    g.drawText ("i", badge, juce::Justification::centred, false);

    if (state == updating)
    {
        g.setColour (dark);
        g.drawRect (progressBar, 2);
        const auto inside = progressBar.reduced (3);
        g.setColour (findColour (accentColourId));
        g.fillRect (inside.withWidth (inside.getWidth() * juce::jlimit (0, 100, displayedProgress) / 100));
        g.setColour (dark);
        g.setFont (16.0f);
        g.drawText (juce::String (displayedProgress) + "%", progressBar, juce::Justification::centred, false);
    }

    // Images are drawn with the current colour's opacity.
    g.setOpacity (1.0f);
    g.drawImage (pageIndicator.getImage(), pageArea.toFloat());
}
