#pragma once

#include "platform/MidiPortProvider.h"
#include "platform/UsbDeviceEnumerator.h"
#include <memory>

// An amplifier for tests: it shows up in the USB scan and offers MIDI ports the way a real one
// does, answers the link's requests from its own state, stores the blocks it is sent frame by
// frame, restarts in update mode on "erasenboot", takes a firmware stream and comes back in
// application mode with the new revision. Replies are delivered from the emulator's own thread,
// as a real MIDI input would, after the reply delay.
//
// Faults (Fault below) are the ones a real amplifier and USB stack show, each switched by one
// plain value. What the link does with each is tested in tests/link.
//
// A link gets the emulator through createUsbDevices() and createMidiPorts(); they keep the
// emulator's state alive, so either side may be destroyed first.
class AmplifierEmulator
{
public:
    struct Identity
    {
        juce::String portName;     // the application-mode port name; update mode adds " Boot"
        juce::uint16 appProductId; // USB product ids in application and update mode
        juce::uint16 bootProductId;
        juce::uint8 modelId; // model byte the firmware stream must carry
    };

    enum class Mode
    {
        unplugged,
        application,
        update
    };

    struct FirmwareReport
    {
        int messages = 0;     // every message taken in update mode
        bool started = false; // a start message opened the current stream
        int dataMessages = 0; // well-formed data messages of the current stream
        int badMessages = 0;  // malformed messages of the current stream
        juce::int64 dataBytes = 0;
        juce::uint32 dataChecksum = 0; // sum of the firmware data bytes, for comparing with the image
        int completedUpdates = 0;
        int messagesAfterEnd = 0; // taken while lingering in update mode after a complete stream
    };

    static constexpr juce::uint32 defaultRevision = 924;
    static constexpr const char* unrelatedPortName = "Midi Through Port-0";

    explicit AmplifierEmulator (const Identity& identity, Mode initialMode = Mode::application);
    ~AmplifierEmulator();

    std::unique_ptr<UsbDeviceEnumerator> createUsbDevices();
    std::unique_ptr<MidiPortProvider> createMidiPorts();

    // Plugging in again (in either mode) drops whatever was on the way and closes nothing: ports
    // opened before stay dead, as with a real device.
    void plugIn (Mode mode = Mode::application);
    void unplug();
    Mode getMode() const;

    void setFirmwareRevision (juce::uint32 revision);
    juce::uint32 getFirmwareRevision() const;
    void setSerialNumber (juce::uint32 serialNumber);
    // Revision the amplifier reports after a complete firmware stream.
    void setRevisionAfterUpdate (juce::uint32 revision);
    // A stream must hold this many data messages to be taken; 0 takes any number from one on.
    void setExpectedFirmwareMessages (int count);

    // The blocks stored by commands 40 (settings) and 37 (application payload); an empty one is
    // none stored.
    juce::MemoryBlock getStoredBlock (juce::uint8 command) const;
    void setStoredBlock (juce::uint8 command, const juce::MemoryBlock& block);
    // Complete blocks taken since construction, per command.
    int getNumStoredBlocks (juce::uint8 command) const;
    // Well-formed messages received in application mode, per command.
    int getNumReceived (juce::uint8 command) const;
    // Texts of command 21, in order; a NUL byte shows as the two characters \0.
    juce::StringArray getTextCommands() const;
    FirmwareReport getFirmwareReport() const;

    //==========================================================================
    // Faults a real amplifier and USB stack show. Each is one plain int: 0 switches it off, 1 (or
    // the count it names) switches it on; it stays until it is set again, from any thread.
    // What the link makes of them: a port fault fails the opening (state 3 back to 0, nothing
    // left open) until the port is there; a damaged reply (high byte, cut) is refused and its
    // request times out (0, false or read result 3); a stale or duplicate reply may fail a block
    // read, never pass for another frame; a wrong model byte is not looked at; a lingering boot
    // loader keeps the link streaming, with nothing left to send, until its boot id goes.
    enum class Fault
    {
        // The USB id is listed, but this MIDI port of the amplifier is not.
        inputMissing,
        outputMissing,
        // This port is listed only after the USB id has been listed this many times since the
        // last plug-in (the link scans once or twice a tick).
        inputLate,
        outputLate,
        // This port is listed, but opening it gives nothing.
        inputFailsToOpen,
        outputFailsToOpen,
        // After a complete firmware stream the boot loader stays in update mode, listed under its
        // boot id and ignoring what it is sent, for this many more USB listings.
        updateModeLingers,

        // Replies.
        noReply,          // requests go unanswered
        replyDelayMs,     // every reply this late
        wrongFrameIndex,  // block frames answered with the next frame's index
        shortWordReplies, // revision and serial number in two bytes instead of four
        garbage,          // around each reply: a channel message, another maker's SysEx, a short
                          // message, an unasked command, an oversized message, a controller
        duplicateReplies, // every reply twice in a row
        staleReplies,     // before each reply, the one before it again (since the last plug-in)
        wrongModelByte,   // the model byte of another model
        highDataByte,     // a byte of 0x80 or more between F0 and F7 (the last before F7)
        cutReplies,       // no F7 at the end

        // Blocks: this frame (1 = the first) of every block sent to the amplifier is lost on the
        // way, or of every block read back is never answered.
        lostIncomingFrame,
        lostReplyFrame,
        // With lostReplyFrame: only blocks read with this command (36 or 39) lose that frame; 0
        // for every block.
        lostReplyFrameCommand,
        // The stored application block reads back as 40 bytes of 0x55, as from damaged memory.
        unreadableApplication,
        numFaults
    };
    void setFault (Fault fault, int value);

    // Unplugs once this many more block frames or firmware messages have come in, or at the first
    // request after this many more replies have gone out; 0 switches the trigger off.
    void unplugAfterIncomingFrames (int count);
    void unplugAfterReplies (int count);
    void unplugAfterFirmwareMessages (int count);

    // MIDI ports opened through createMidiPorts() and not yet closed.
    int getNumOpenPorts() const;

    class State;

private:
    std::shared_ptr<State> state;

    JUCE_DECLARE_NON_COPYABLE (AmplifierEmulator)
};
