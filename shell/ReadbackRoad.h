#pragma once

#include "shell/AmplifierIdentity.h"
#include "shell/DevicePrompts.h"
#include "shell/DeviceSynchroniser.h"
#include "platform/UserInteraction.h"

class DiagramDevice;
class PresetLibrary;

// Replaces a device box's element with the settings the connected amplifier holds: checks that the
// amplifier can be read and suits the box, asks before replacing, checks that the amplifier is
// still the same, reads the application part and the settings, and asks for the password when the
// settings carry one. Every refusal, failure and cancel leaves the element as it was. Message
// thread; the read blocks it. The revision and serial number come from the identity read: a click
// before it has ended goes on once it has.
class ReadbackRoad
{
public:
    // Readback needs firmware newer than this revision.
    static constexpr juce::uint32 lastRevisionWithoutReadback = 777;

    ReadbackRoad (VantorelCom& link, AmplifierIdentity& identity, const PresetLibrary& presets,
                  UserInteraction& interaction, DevicePrompts& prompts, DeviceSynchroniser& synchroniser);

    // The get-settings button of the box; only the selected box reads.
    void run (DiagramDevice& box);

private:
    // connectedAtClick: an amplifier was connected when the user clicked.
    void readBack (DiagramDevice& box, bool connectedAtClick);
    // The read element's password matches what the user types; false also when the user cancels.
    bool passwordAccepted (DiagramDevice& box, const juce::XmlElement& passwordElement);

    VantorelCom& link;
    AmplifierIdentity& identity;
    const PresetLibrary& presets;
    UserInteraction& interaction;
    DevicePrompts& prompts;
    DeviceSynchroniser& synchroniser;

    JUCE_DECLARE_NON_COPYABLE (ReadbackRoad)
};
