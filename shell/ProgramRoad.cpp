#include "shell/ProgramRoad.h"
#include "link/VantorelCom.h"
#include "shell/DiagramDevice.h"
#include "shell/PasswordKey.h"

ProgramRoad::ProgramRoad (VantorelCom& linkToUse, UserInteraction& userInteraction,
                          DevicePrompts& devicePrompts, DeviceSynchroniser& deviceSynchroniser)
    : link (linkToUse), interaction (userInteraction), prompts (devicePrompts),
      synchroniser (deviceSynchroniser)
{
}

bool ProgramRoad::run (DiagramDevice* selectedBox)
{
    if (selectedBox == nullptr)
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!",
                                 "No amplifier settings available.");
        return false;
    }

    // The modal windows below run the message loop: the box is checked again after each.
    const juce::Component::SafePointer<DiagramDevice> box (selectedBox);
    const DeviceSynchroniser::LinkHold hold (synchroniser);

    juce::String key;
    if (box->getPasswordButton().getToggleState())
    {
        const auto password = prompts.choosePassword();
        if (!password.has_value() || box == nullptr)
            return false;

        // A key salted with an unread serial number would lock the amplifier for good.
        const auto serialNumber = link.getSerialNumber();
        if (serialNumber == 0)
        {
            interaction.showMessage (UserInteraction::Icon::warning, "Programming failed!",
                                     "The amplifier's serial number could not be read, so no password "
                                     "could be set. Nothing was sent.");
            return false;
        }

        key = makePasswordKey (*password, serialNumber);
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
    return link.isFamily (box->getDeviceFamily().id);
}
