#include "shell/ProgramRoad.h"
#include "link/VantorelCom.h"
#include "shell/DiagramDevice.h"
#include "shell/NotedAmplifier.h"
#include "shell/PasswordKey.h"

namespace
{
// Why the amplifier connected now must not be programmed with the device; empty when it may.
juce::String refusalFor (NotedAmplifier::Check check)
{
    switch (check)
    {
        case NotedAmplifier::Check::same:
            return {};
        case NotedAmplifier::Check::notConnected:
            return DeviceTransfer::describe (DeviceTransfer::Outcome::notConnected);
        case NotedAmplifier::Check::changed:
            return juce::String (NotedAmplifier::changedText) + "\nNothing was sent.";
        case NotedAmplifier::Check::otherFamily:
            return "The connected amplifier is not of the selected device's family.\nNothing was sent.";
    }

    return {};
}
} // namespace

ProgramRoad::ProgramRoad (VantorelCom& linkToUse, AmplifierIdentity& amplifierIdentity,
                          UserInteraction& userInteraction, DevicePrompts& devicePrompts,
                          DeviceSynchroniser& deviceSynchroniser)
    : link (linkToUse), identity (amplifierIdentity), interaction (userInteraction), prompts (devicePrompts),
      synchroniser (deviceSynchroniser)
{
}

void ProgramRoad::run (DiagramDevice* selectedBox, Finished finished)
{
    if (selectedBox == nullptr)
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!",
                                 "No amplifier settings available.");
        finished (false);
        return;
    }

    // Only the password key needs the amplifier's identity.
    if (!selectedBox->getPasswordButton().getToggleState())
    {
        finished (program (*selectedBox));
        return;
    }

    const juce::Component::SafePointer<DiagramDevice> box (selectedBox);
    identity.whenRead (
        [this, box, finished]
        {
            if (box != nullptr && box->isSelected())
                finished (program (*box));
        });
}

bool ProgramRoad::program (DiagramDevice& selectedBox)
{
    // The modal windows below run the message loop: the box is checked again after each.
    const juce::Component::SafePointer<DiagramDevice> box (&selectedBox);
    const DeviceSynchroniser::LinkHold hold (synchroniser);
    const AmplifierIdentity::Hold identityHold (identity);
    const NotedAmplifier amplifier (link, identity);
    const int family = box->getDeviceFamily().id;

    const auto refused = [&]
    {
        const auto refusal = refusalFor (amplifier.check (family));
        if (refusal.isNotEmpty())
            interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!", refusal);
        return refusal.isNotEmpty();
    };

    // Nothing is asked for an amplifier that could not be programmed.
    if (refused())
        return false;

    juce::String key;
    if (box->getPasswordButton().getToggleState())
    {
        // A key salted with an unread serial number would lock the amplifier for good.
        const auto serialNumber = amplifier.getSerialNumber();
        if (serialNumber == 0)
        {
            interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!",
                                     "The amplifier's serial number could not be read, so no password "
                                     "could be set. Nothing was sent.");
            return false;
        }

        const auto password = prompts.choosePassword();
        if (!password.has_value() || box == nullptr)
            return false;

        key = makePasswordKey (*password, serialNumber);

        // The password window ran the message loop: the key suits only the amplifier it was made
        // for.
        if (refused())
            return false;
    }

    auto copy = DeviceTransfer::prepare (box->getDeviceElement(), key);
    const auto outcome = DeviceTransfer::send (link, *copy);

    if (outcome != DeviceTransfer::Outcome::sent)
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!",
                                 DeviceTransfer::describe (outcome));
        return false;
    }

    const bool wantsSync = prompts.confirmProgrammingDone();
    if (!wantsSync || box == nullptr)
        return false;

    synchroniser.setPasswordKey (key);
    // Passes go only to the amplifier just programmed, which holds the key.
    return amplifier.check (family) == NotedAmplifier::Check::same;
}
