#pragma once

#include "shell/AmplifierIdentity.h"
#include "shell/DevicePrompts.h"
#include "shell/DeviceSynchroniser.h"
#include "platform/UserInteraction.h"

class DiagramDevice;

// Programs the selected device into the connected amplifier: asks for a password when the box's
// padlock is on, checks that the amplifier is still the one the road began with and suits the
// device, sends the prepared copy, says plainly when that failed, and otherwise shows the
// "Programming Done" dialog that offers synchronisation. The working application is never changed.
// Message thread.
class ProgramRoad
{
public:
    ProgramRoad (VantorelCom& link, AmplifierIdentity& identity, UserInteraction& interaction,
                 DevicePrompts& prompts, DeviceSynchroniser& synchroniser);

    // The road for the selected box (none: a refusal). True when the device was programmed and the
    // user asked for synchronisation with the amplifier still connected; the synchroniser then has
    // the password key the amplifier now holds.
    bool run (DiagramDevice* selectedBox);

private:
    VantorelCom& link;
    AmplifierIdentity& identity;
    UserInteraction& interaction;
    DevicePrompts& prompts;
    DeviceSynchroniser& synchroniser;

    JUCE_DECLARE_NON_COPYABLE (ProgramRoad)
};
