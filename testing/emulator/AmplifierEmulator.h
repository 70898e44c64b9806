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
// Faults can be switched on at any time from any thread: no reply, late replies, replies for the
// wrong frame, lost frames, garbage around replies, and unplugging at once or after a number of
// frames, replies or firmware messages.
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

    // The blocks stored by commands 40 (settings) and 37 (application payload).
    juce::MemoryBlock getStoredBlock (juce::uint8 command) const;
    void setStoredBlock (juce::uint8 command, const juce::MemoryBlock& block);
    // Complete blocks taken since construction, per command.
    int getNumStoredBlocks (juce::uint8 command) const;
    // Well-formed messages received in application mode, per command.
    int getNumReceived (juce::uint8 command) const;
    // Texts of command 21, in order.
    juce::StringArray getTextCommands() const;
    FirmwareReport getFirmwareReport() const;

    // Faults. Each stays until it is switched off again (0 or false).
    void setNoReply (bool shouldIgnoreRequests);
    void setReplyDelayMs (int delayMs);
    void setWrongFrameIndex (bool shouldAnswerWrongFrame);
    void setShortWordReplies (bool shouldSendTwoBytes);
    void setGarbageAroundReplies (bool shouldSendGarbage);
    // This frame of every incoming block (1 = the first) is lost on the way.
    void setLostIncomingFrame (int frameIndex);
    // This frame of every block read back is never answered.
    void setLostReplyFrame (int frameIndex);
    // Unplugs once this many more block frames or firmware messages have come in, or at the first
    // request after this many more replies have gone out; 0 switches the trigger off.
    void unplugAfterIncomingFrames (int count);
    void unplugAfterReplies (int count);
    void unplugAfterFirmwareMessages (int count);

    class State;

private:
    std::shared_ptr<State> state;

    JUCE_DECLARE_NON_COPYABLE (AmplifierEmulator)
};
