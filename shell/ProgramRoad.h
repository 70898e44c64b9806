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
// Message thread. A locked device needs the amplifier's serial number: a click before the identity
// read has ended goes on once it has.
class ProgramRoad
{
public:
    ProgramRoad (VantorelCom& link, AmplifierIdentity& identity, UserInteraction& interaction,
                 DevicePrompts& prompts, DeviceSynchroniser& synchroniser);

    // Called when the road has run: true when the device was programmed and the user asked for
    // synchronisation with the amplifier still connected; the synchroniser then has the password
    // key the amplifier now holds.
    using Finished = std::function<void (bool synchronise)>;

    // The road for the selected box (none: a refusal), at once or once the identity is read; a road
    // whose box is no longer the selected one by then does not run, nor call back.
    void run (DiagramDevice* selectedBox, Finished finished);

private:
    bool program (DiagramDevice& box);

    VantorelCom& link;
    AmplifierIdentity& identity;
    UserInteraction& interaction;
    DevicePrompts& prompts;
    DeviceSynchroniser& synchroniser;

    JUCE_DECLARE_NON_COPYABLE (ProgramRoad)
};
