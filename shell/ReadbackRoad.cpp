#include "shell/ReadbackRoad.h"
#include "document/PresetLibrary.h"
#include "link/VantorelCom.h"
#include "shell/DiagramDevice.h"
#include "shell/NotedAmplifier.h"
#include "shell/PasswordKey.h"

ReadbackRoad::ReadbackRoad (VantorelCom& linkToUse, AmplifierIdentity& amplifierIdentity,
                            const PresetLibrary& presetLibrary, UserInteraction& userInteraction,
                            DevicePrompts& devicePrompts, DeviceSynchroniser& deviceSynchroniser)
    : link (linkToUse), identity (amplifierIdentity), presets (presetLibrary), interaction (userInteraction),
      prompts (devicePrompts), synchroniser (deviceSynchroniser)
{
}

void ReadbackRoad::run (DiagramDevice& selectedBox)
{
    if (!selectedBox.isSelected())
        return;

    const juce::Component::SafePointer<DiagramDevice> box (&selectedBox);
    const bool connectedAtClick = link.getLinkState() == BaseCom::connected;
    identity.whenRead (
        [this, box, connectedAtClick]
        {
            if (box != nullptr && box->isSelected())
                readBack (*box, connectedAtClick);
        });
}

void ReadbackRoad::readBack (DiagramDevice& selectedBox, bool connectedAtClick)
{
    // The question and the password window run the message loop: the box is checked after each.
    const juce::Component::SafePointer<DiagramDevice> box (&selectedBox);
    const DeviceSynchroniser::LinkHold hold (synchroniser);
    const AmplifierIdentity::Hold identityHold (identity);
    const NotedAmplifier amplifier (link, identity);
    const int family = box->getDeviceFamily().id;
    const auto check = amplifier.check (family);
    const auto revision = amplifier.getRevision();

    // Unplugged while the click waited for the amplifier's identity: nothing to advise about its
    // firmware.
    if (check == NotedAmplifier::Check::notConnected && connectedAtClick)
    {
        interaction.showMessage (UserInteraction::Icon::info, "No data recieved",
                                 DeviceTransfer::describe (DeviceTransfer::Outcome::notConnected) +
                                     "\nNothing was read.\n");
        return;
    }

    if (check == NotedAmplifier::Check::notConnected ||
        (revision != 0 && revision <= lastRevisionWithoutReadback))
    {
        interaction.showMessage (UserInteraction::Icon::info, "Readback not supported",
                                 "The model you currently have connected does not support readback\n"
                                 "Please update the firmware on your device to use this feature \n\n");
        return;
    }

    // Unknown is not old: the amplifier did not answer.
    if (revision == 0)
    {
        interaction.showMessage (UserInteraction::Icon::info, "No data recieved",
                                 "The connected amplifier did not answer when asked for its firmware "
                                 "revision.\nPlease check its connection and try again.\n");
        return;
    }

    if (check == NotedAmplifier::Check::otherFamily)
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Wrong Model Selected",
                                 "Please select Zelta model from left side \n"
                                 "coresponding to the one you currently have connected \n\n"
                                 "Connected Zelta model can be found in the bottom right corner");
        return;
    }

    if (!interaction.askOkCancel (UserInteraction::Icon::question, "Download settings?",
                                  "You are about to replace current settings\n"
                                  "with the ones from the connected Zelta.\n\n"
                                  "Press 'OK' to continue") ||
        box == nullptr)
        return;

    if (amplifier.check (family) != NotedAmplifier::Check::same)
    {
        interaction.showMessage (UserInteraction::Icon::info, "No data recieved",
                                 juce::String (NotedAmplifier::changedText) + "\nNothing was read.\n");
        return;
    }

    juce::XmlElement read ("Device");
    const int result = link.readApplication (read);

    if (result == QuobCom::readNoSettings)
    {
        if (auto* deviceTemplate = presets.getElement (family))
            box->resetToTemplate (*deviceTemplate);
        return;
    }

    if (result != QuobCom::readDone)
    {
        interaction.showMessage (UserInteraction::Icon::info, "No data recieved",
                                 "The device didn't transfer its settings correctly\n");
        return;
    }

    if (auto* password = read.getChildByName ("Password"))
        if (!passwordAccepted (*box, *password) || box == nullptr)
            return;

    box->takeOverReadSettings (read);
}

bool ReadbackRoad::passwordAccepted (DiagramDevice& box, const juce::XmlElement& passwordElement)
{
    const auto storedKey =
        passwordElement.getNumAttributes() > 0 ? passwordElement.getAttributeValue (0) : juce::String();

    // Without the serial number no typed password could match. Taken before the password window,
    // while the amplifier is still the one just read.
    const auto serialNumber = identity.getReading().serialNumber;
    if (serialNumber == 0)
    {
        interaction.showMessage (UserInteraction::Icon::info, "No data recieved",
                                 "The device didn't transfer its serial number, which the password "
                                 "check needs.\n");
        return false;
    }

    const auto password = prompts.enterPassword (box);
    if (!password.has_value())
        return false;

    if (makePasswordKey (*password, serialNumber) == storedKey)
        return true;

    interaction.showMessage (UserInteraction::Icon::info, "Sorry", "Wrong password");
    return false;
}
