#include "shell/StatusDisplay.h"

#include "document/DeviceFamily.h"
#include "shell/DiagramDevice.h"
#include "updates/FWUpdateWizard.h"
#include "shell/ProgramDialogWindow.h"

StatusDisplay::StatusDisplay (VantorelCom& linkToFollow, AmplifierIdentity& amplifierIdentity,
                              juce::Label& label, juce::Button& button, Host& owner)
    : link (linkToFollow), identity (amplifierIdentity), statusLabel (label), programButton (button),
      host (owner)
{
}

void StatusDisplay::tick()
{
    // The wizard's nested loop keeps calling the timers; the wizard has the amplifier meanwhile.
    if (wizardRunning)
        return;

    if (link.getLinkState() != BaseCom::connected)
    {
        handleNoConnection();
        return;
    }

    if (deviceRevision == 0)
        followIdentification();

    // The wizard may have left the amplifier in another state; a read has the link to itself.
    if (!wizardRunning && link.getLinkState() == BaseCom::connected && !identity.isReading())
        host.synchronisationTick();
}

void StatusDisplay::followIdentification()
{
    // A read that ended since the last one handled: this display's own, or one a device road
    // clicked before any tick asked for, which is taken as it is, not read again.
    const auto isNew = [this] (const AmplifierIdentity::Reading& r)
    { return r.connection != 0 && r.number != handledReading; };
    auto reading = identity.getReading();

    if (!isNew (reading))
    {
        // A read stopped by one of the window's own requests ends without a reading: it was no
        // attempt, so it raises no back-off and is made again at the next tick after the request.
        if (!identity.isReading())
        {
            if (ticksUntilRetry > 0)
            {
                --ticksUntilRetry;
                return;
            }

            // A pass can only start from this thread, after this point of a tick: while none runs
            // now, none starts during the read.
            if (host.isSynchronisationRunning() || !identity.startReading())
                return;
        }

        reading = identity.waitForReading (identificationWaitMs) ? identity.getReading() : reading;
        if (!isNew (reading))
        {
            // Named at once; its serial number and revision follow when it answers.
            if (!unknownRevisionShown)
                setStatus ("Connected to " + link.getProductName(), juce::Colours::black);
            return;
        }
    }

    // A device road has the amplifier, and its windows may be open: the wizard is not opened over
    // them, but after the road.
    if (identity.isHeld() && offersWizard (reading))
        return;

    handleConnection (reading);
}

bool StatusDisplay::offersWizard (const AmplifierIdentity::Reading& reading) const
{
    return reading.revision != 0 && reading.firmwareComparison != 0 && !afterWizard;
}

void StatusDisplay::handleConnection (const AmplifierIdentity::Reading& reading)
{
    handledReading = reading.number;
    deviceRevision = reading.revision;
    serialNumber = reading.serialNumber;

    // A revision that cannot be read is unknown, not older: no wizard for it, and it is asked
    // for again at a later tick.
    if (deviceRevision == 0)
    {
        scheduleRetry();
        if (!unknownRevisionShown)
        {
            enableButtonsIfSuitable (false);
            showConnected();
            unknownRevisionShown = true;
        }
        return;
    }

    const int comparison = reading.firmwareComparison;

    if (offersWizard (reading))
    {
        // The wizard speaks of the connected amplifier: the status line names it meanwhile.
        showConnected();
        launchFirmwareUpdate();

        // Cancelled in update mode, unplugged, or back after an update: the amplifier there is
        // now is read again at the next ticks.
        if (!link.isSameConnection (reading.connection))
        {
            forgetConnection();
            afterWizard = true;
            return;
        }
    }

    afterWizard = false;
    firmwareOlder = comparison == -1;
    if (firmwareOlder)
        programButton.setButtonText (updateFirmwareText);

    enableButtonsIfSuitable (firmwareOlder);
    showConnected();
}

void StatusDisplay::scheduleRetry()
{
    ticksUntilRetry = nextRetryTicks;
    nextRetryTicks = juce::jmin (2 * nextRetryTicks, maxRevisionRetryTicks);
}

void StatusDisplay::handleNoConnection()
{
    // Every tick while unplugged: each control is written once with its final value, so nothing
    // flickers, repaints or loses the keyboard focus while nothing changes.
    const bool updateMode = link.getLinkState() == BaseCom::connectedInUpdateMode;

    if (host.isSyncEnabled())
        host.setSyncEnabled (false);

    programButton.setButtonText (updateMode ? updateFirmwareText : "Program");
    programButton.setEnabled (updateMode);
    setGetSettingsEnabled (false);
    setStatus (updateMode ? "Device is in update mode" : "No device connected", juce::Colours::darkgrey);

    forgetConnection();
    afterWizard = false;
}

void StatusDisplay::forgetConnection()
{
    handledReading = 0;
    deviceRevision = 0;
    serialNumber = 0;
    ticksUntilRetry = 0;
    nextRetryTicks = revisionRetryTicks;
    unknownRevisionShown = false;
    firmwareOlder = false;
}

bool StatusDisplay::isFirmwareUpdateOffered() const
{
    const auto state = link.getLinkState();
    return state == BaseCom::connectedInUpdateMode || (state == BaseCom::connected && firmwareOlder);
}

juce::String StatusDisplay::getIdleProgramText() const
{
    return isFirmwareUpdateOffered() ? updateFirmwareText : "Program";
}

void StatusDisplay::showConnected()
{
    // 0 is what an amplifier that does not answer gives.
    const auto known = [] (juce::uint32 value) { return value != 0 ? juce::String (value) : "unknown"; };
    setStatus ("Connected to " + link.getProductName() + "\nSerial Number: " + known (serialNumber) +
                   " Rev:" + known (deviceRevision),
               juce::Colours::black);
}

void StatusDisplay::enableButtonsIfSuitable (bool offerUpdate)
{
    if (!suitsSelectedDevice() && !offerUpdate)
        return;

    setGetSettingsEnabled (true);
    programButton.setEnabled (true);
}

void StatusDisplay::setGetSettingsEnabled (bool enabled)
{
    if (auto* box = host.getSelectedDeviceBox())
        box->getSettingsButton().setEnabled (enabled);
}

bool StatusDisplay::suitsSelectedDevice()
{
    auto* box = host.getSelectedDeviceBox();
    return box != nullptr && link.isFamily (DeviceFamily::indexOfName (box->getDeviceFamily().name));
}

void StatusDisplay::setStatus (const juce::String& text, juce::Colour colour)
{
    statusLabel.setColour (juce::Label::textColourId, colour);
    statusLabel.setText (text, juce::dontSendNotification);
}

bool StatusDisplay::handleProgramClick()
{
    if (!isFirmwareUpdateOffered())
        return false;

    // The wizard talks to the amplifier; a pass still ending would share the link with it.
    if (host.isSynchronisationRunning())
        return true;

    const auto connection = link.getConnectionCount();
    launchFirmwareUpdate();

    // Still the amplifier with the older firmware it had: the offer stays.
    if (firmwareOlder && link.isSameConnection (connection))
        return true;

    programButton.setButtonText ("Program");
    if (!suitsSelectedDevice())
        programButton.setEnabled (false);

    // The next connected tick handles the amplifier there is then once more and rewrites the
    // status; an amplifier on the same connection keeps what was read for it.
    forgetConnection();
    afterWizard = true;
    return true;
}

void StatusDisplay::launchFirmwareUpdate()
{
    wizardRunning = true;
    const AmplifierIdentity::Hold hold (identity);
    FWUpdateWizard wizard (link);

    // The window deletes itself when its modal state ends.
    juce::Component::SafePointer<juce::DialogWindow> window (
        createProgramDialogWindow ("Firmware Update", wizard, false).release());
    window->enterModalState (true, nullptr, true);

    // This runs inside a timer callback: the link's own timer, which the wizard needs, is called
    // from here meanwhile. A quit request ends the wait; the wizard is closed below.
    auto* messageManager = juce::MessageManager::getInstance();
    while (window != nullptr && window->isCurrentlyModal() && !messageManager->hasStopMessageBeenSent())
    {
        messageManager->runDispatchLoopUntil (100);
        juce::Timer::callPendingTimersSynchronously();
    }

    if (window != nullptr)
        delete window.getComponent();

    wizardRunning = false;
}
