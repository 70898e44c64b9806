#pragma once

#include "shell/AmplifierIdentity.h"
#include <juce_gui_basics/juce_gui_basics.h>

class DiagramDevice;

// The main window following the amplifier, at every tick of the main content's timer: the status
// line ("No device connected", "Device is in update mode", "Connected to ..."), the Program button
// and the selected device box's get-settings button, the firmware check once per connection with
// the offer of the firmware update wizard, and the synchronisation tick while connected.
//
// Everything runs on the message thread. The revision and serial number are read by the amplifier
// identity on its own thread; a tick waits for them a frame at most and otherwise looks again at
// the next tick. A read and a synchronisation pass never run at once.
class StatusDisplay
{
public:
    // What the display needs from the main content.
    class Host
    {
    public:
        virtual ~Host() = default;
        // The selected device box, or null.
        virtual DiagramDevice* getSelectedDeviceBox() = 0;
        virtual void setSyncEnabled (bool on) = 0;
        virtual bool isSyncEnabled() const = 0;
        // Whether a synchronisation pass is using the link now.
        virtual bool isSynchronisationRunning() = 0;
        // Starts a synchronisation pass when one is due; called at every connected tick after the
        // connection has been handled.
        virtual void synchronisationTick() = 0;
    };

    static constexpr const char* updateFirmwareText = "Update Firmware";
    // A revision that could not be read is asked for again after this many ticks (5 s), and after
    // twice as many after every further failure, up to a minute: each read of a silent amplifier
    // holds the link for its reply time-outs (about 4 s), and no synchronisation pass starts then.
    static constexpr int revisionRetryTicks = 10;
    static constexpr int maxRevisionRetryTicks = 120;
    // An amplifier answers both requests within a few milliseconds: its connection is then
    // handled at the tick that started the read, and a tick with a silent one stays within a frame.
    static constexpr int identificationWaitMs = 8;

    // All must outlive the display.
    StatusDisplay (VantorelCom& link, AmplifierIdentity& identity, juce::Label& statusLabel,
                   juce::Button& programButton, Host& host);

    // The device part of one timer tick.
    void tick();
    // Shows the firmware update wizard modally and returns when it is closed.
    void launchFirmwareUpdate();
    // The Program button's click: true when it was the firmware road ("Update Firmware"), which
    // has then been taken; false leaves the click to the Program road.
    bool handleProgramClick();
    // True while the amplifier is in update mode or its firmware is older than the image: the
    // Program button then offers the update, whatever else resets its text.
    bool isFirmwareUpdateOffered() const;
    // The Program button's text while synchronisation is off.
    juce::String getIdleProgramText() const;

    bool isWizardRunning() const { return wizardRunning; }
    // The revision read for this connection; 0 while none has been read.
    juce::uint32 getDeviceRevision() const { return deviceRevision; }

private:
    // Starts the identity read of this connection, or takes its result when it has come.
    void followIdentification();
    void handleConnection (const AmplifierIdentity::Reading& reading);
    // The reading finds firmware other than the image's, and the wizard has not just been offered.
    bool offersWizard (const AmplifierIdentity::Reading& reading) const;
    void handleNoConnection();
    // The next connected tick handles the connection as new.
    void forgetConnection();
    // An unreadable revision is asked for again later.
    void scheduleRetry();
    void showConnected();
    // Enables the Program and get-settings buttons when the amplifier suits the selected device
    // or its firmware is older; otherwise leaves them as they are.
    void enableButtonsIfSuitable (bool offerUpdate);
    void setGetSettingsEnabled (bool enabled);
    bool suitsSelectedDevice();
    void setStatus (const juce::String& text, juce::Colour colour);

    VantorelCom& link;
    AmplifierIdentity& identity;
    juce::Label& statusLabel;
    juce::Button& programButton;
    Host& host;

    juce::uint32 deviceRevision = 0;
    juce::uint32 serialNumber = 0;
    // The number of the reading last handled; 0 when none was since the connection was last
    // forgotten, so that the reading of an amplifier still on the same connection is taken again.
    juce::uint32 handledReading = 0;
    // Ticks until an unreadable revision is asked for again; 0 asks at the next connected tick.
    int ticksUntilRetry = 0;
    // The wait after the next failed attempt.
    int nextRetryTicks = revisionRetryTicks;
    // The connection is shown with its revision unknown; cleared when no amplifier is connected.
    bool unknownRevisionShown = false;
    // The revision read for this connection is older than the image's.
    bool firmwareOlder = false;
    // The wizard has just been offered: the amplifier it left behind is read again without
    // offering it once more. Cleared when no amplifier is connected.
    bool afterWizard = false;
    bool wizardRunning = false;

    JUCE_DECLARE_NON_COPYABLE (StatusDisplay)
};
