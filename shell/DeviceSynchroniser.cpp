#include "shell/DeviceSynchroniser.h"
#include "link/QuobCom.h"
#include "shell/DiagramDevice.h"

namespace
{
const char* const switchedOffText = "Synchronization has been switched off.";

// A pass stopped on purpose, or one that found no amplifier (the status display shows that and
// switches synchronisation off), is no failure; anything else would fail again at every pass.
bool isFailureToReport (DeviceTransfer::Outcome outcome)
{
    using Outcome = DeviceTransfer::Outcome;
    return outcome != Outcome::sent && outcome != Outcome::stopped && outcome != Outcome::notConnected;
}
} // namespace

DeviceSynchroniser::DeviceSynchroniser (QuobCom& linkToUse, juce::Thread& threadForPasses,
                                        UserInteraction& userInteraction, Hooks hooksToUse)
    : link (linkToUse), passThread (threadForPasses), interaction (userInteraction),
      hooks (std::move (hooksToUse))
{
}

DeviceSynchroniser::~DeviceSynchroniser()
{
    stopPass();
}

void DeviceSynchroniser::setEnabled (bool on)
{
    enabled = on;
    lastOutcome = noOutcome;

    if (on)
        return;

    passwordKey.clear();

    // Another device may be selected by now: the spinner goes from the box that showed it.
    if (spinnerBox != nullptr)
        spinnerBox->setSyncAnimVisible (false);
    spinnerBox = nullptr;
}

void DeviceSynchroniser::padlockChanged()
{
    if (!enabled)
        return;

    // Off before the message: its modal loop keeps the ticks coming.
    hooks.switchOff();
    interaction.showMessage (UserInteraction::Icon::info, "Padlock changed",
                             juce::String ("The padlock takes effect at the next Program.\n") +
                                 switchedOffText);
}

void DeviceSynchroniser::tick (DiagramDevice* selectedBox)
{
    if (!enabled || holds > 0 || isPassRunning())
        return;

    const int outcome = lastOutcome.exchange (noOutcome);
    // A pass stopped for one of the message thread's own requests took the pages' changes with it
    // unsent: they go out again.
    const bool resend = outcome == (int)DeviceTransfer::Outcome::stopped;

    if (outcome != noOutcome && isFailureToReport ((DeviceTransfer::Outcome)outcome))
    {
        // Off before the message: its modal loop keeps the ticks coming.
        hooks.switchOff();
        interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!",
                                 DeviceTransfer::describe ((DeviceTransfer::Outcome)outcome) + "\n" +
                                     switchedOffText);
        return;
    }

    if (selectedBox != nullptr)
        selectedBox->setSyncAnimVisible (false);

    const bool pending = hooks.hasPendingChanges();
    if ((!pending && !resend) || selectedBox == nullptr)
        return;

    selectedBox->setSyncAnimVisible (true);
    spinnerBox = selectedBox;

    {
        const juce::ScopedLock sl (passLock);
        passCopy = DeviceTransfer::prepare (selectedBox->getDeviceElement(), passwordKey);
    }

    passThread.startThread (juce::Thread::Priority::normal);
}

void DeviceSynchroniser::runPass()
{
    std::unique_ptr<juce::XmlElement> copy;
    {
        const juce::ScopedLock sl (passLock);
        copy = std::move (passCopy);
    }

    if (copy != nullptr)
        lastOutcome = (int)DeviceTransfer::send (link, *copy);
}

void DeviceSynchroniser::stopPass()
{
    if (!passThread.isThreadRunning())
        return;

    // The link ends a transfer between two frames when its thread is asked to stop, so this
    // wait is short; the thread must have ended before anyone else uses the link.
    passThread.signalThreadShouldExit();
    passThread.waitForThreadToExit (-1);
}

DeviceSynchroniser::LinkHold::LinkHold (DeviceSynchroniser& ownerToHold) : owner (ownerToHold)
{
    ++owner.holds;
    owner.stopPass();
}

DeviceSynchroniser::LinkHold::~LinkHold()
{
    --owner.holds;
}
