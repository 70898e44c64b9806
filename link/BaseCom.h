#pragma once

#include "link/FirmwareStreamer.h"
#include "link/FrameMessage.h"
#include "link/LinkTiming.h"
#include "link/MidiInterfaceClass.h"
#include "link/ProductInfoList.h"
#include "link/UsbPresenceScan.h"
#include <juce_events/juce_events.h>
#include <atomic>

// The base of the device link: finds a plugged-in amplifier by its USB product id, opens its MIDI
// ports, keeps the link state that the rest of the program polls, streams firmware in update mode,
// and carries requests, replies and framed blocks.
//
// Threads: the timer, port opening and closing and the firmware stream run on the message thread.
// Requests and sends run on the caller's thread (message thread or the synchronisation thread) and
// block it. The MIDI input callback runs on the MIDI thread. Hand-overs:
// - link state, current product, update flags, connection count: single atomic words written on
//   the message thread and read by any thread, which acts on the value it sees;
// - reply slot, expected reply command, reply-arrived flag: replyLock, held briefly, never across a
//   sleep;
// - one operation at a time: requestLock, held for a whole exchange or block transfer, and by the
//   derived links for the whole of an operation made of several (programming, readback, identity
//   queries), so that a message-thread request never interleaves with a synchronisation pass;
// - a thread asked to stop (juce::Thread::signalThreadShouldExit) ends a block transfer between
//   two frames and a wait for a reply between two polls;
// - the ports: MidiInterfaceClass's own lock;
// - the present-device list: message thread only; a transfer checks presence with a scan of its own.
class BaseCom : public juce::Timer, public juce::MidiInputCallback
{
public:
    enum LinkState
    {
        idle = 0,
        appIdSeen = 1,
        bootIdSeen = 2,
        openingAppPorts = 3,
        openingBootPorts = 4,
        appPortsSettling = 5,
        bootPortsSettling = 6,
        connected = 7,
        connectedInUpdateMode = 8,
        streamingFirmware = 9
    };

    // A block is at most 255 frames of 64 bytes.
    static constexpr int maxBlockSize = FrameMessage::maxFrames * FrameMessage::maxDataSize;

    // The link reads present USB devices and reaches MIDI ports only through these two.
    BaseCom (std::unique_ptr<UsbDeviceEnumerator> usbDevices, std::unique_ptr<MidiPortProvider> midiPorts,
             const LinkTiming& timing);
    ~BaseCom() override;

    // One step of the connection state machine; the timer calls it every tick.
    void timerCallback() override;

    int getLinkState() const noexcept { return linkState.load(); }
    // 0 when no product is current.
    juce::uint8 getModelId() const noexcept;
    // "Unknown" when no product is current.
    juce::String getProductName() const;
    const ProductInfoList& getProductList() const noexcept { return products; }
    // A row of the product list, or null; rows live as long as the link.
    const ProductInfo* getCurrentProduct() const noexcept { return currentProduct.load(); }
    const LinkTiming& getTiming() const noexcept { return timing; }

    // Counts the connections made in this link's life, in either mode. A caller that noted it
    // before a wait still talks to the same amplifier when isSameConnection holds afterwards,
    // however briefly the amplifier was away meanwhile.
    juce::uint32 getConnectionCount() const noexcept { return connectionCount.load(); }
    // Connected in application mode, on the connection that had this count.
    bool isSameConnection (juce::uint32 count) const noexcept
    {
        return linkState.load() == connected && connectionCount.load() == count;
    }

    // In update mode (state 8) asks for the current product's image to be streamed on the next
    // tick and returns true; false and nothing changed in any other state.
    bool requestFirmwareUpdate();
    // 0 until a stream has started in this link's life, then the current image's percentage.
    int getUpdateProgress() const;

    // Forgets the product, closes the ports, goes back to idle and calls the matching hook.
    void disconnect();

    // Each runs a present-device scan first.
    bool isAppUsbPresent (const ProductInfo* product);
    bool isBootUsbPresent (const ProductInfo* product);
    ProductInfo* findProductByAppPid();
    ProductInfo* findProductByBootPid();

    // Sends; false without a current product or an open output.
    bool sendCommand (juce::uint8 command, const void* data, int length);
    bool sendMessage (const SysexMessage& message);
    bool sendFrame (juce::uint8 command, juce::uint8 frameIndex, juce::uint8 frameCount, const void* data,
                    int length);
    // Sends the block as numbered 64-byte frames, paced and unacknowledged. A block of more than
    // maxBlockSize bytes is refused before anything is sent; an empty one sends nothing. False,
    // with the rest unsent, when the calling thread is asked to stop, and false when the amplifier
    // went away meanwhile, even though no tick has closed its ports (a transfer on the message
    // thread holds the ticks back).
    bool sendFrames (juce::uint8 command, const juce::MemoryBlock& block);

    // Sends the command with an empty payload and waits about a second for a reply of replyCommand,
    // whose payload is copied to destination (at most maxLength bytes, else false). A thread asked
    // to stop gives up the wait at once.
    bool request (juce::uint8 command, juce::uint8 replyCommand, void* destination, int& length,
                  int maxLength);
    // Asks for one frame of a block; true with the frame's count and data (at most 64 bytes) when
    // the reply is that frame.
    bool requestFrame (juce::uint8 command, juce::uint8 replyCommand, juce::uint8 frameIndex,
                       juce::uint8& frameCount, juce::uint8* data, int& length);
    // Reads a whole block frame by frame into the stream; the amplifier states the count in every
    // frame. False when a frame fails (the bytes read so far stay in the stream) and when the first
    // frame states a block of no frames. statedCount, when given, receives the count the first
    // frame stated, or -1 when it did not arrive.
    bool readFrames (juce::uint8 command, juce::uint8 replyCommand, juce::OutputStream& output,
                     int* statedCount = nullptr);

    // Index in the accepted reply commands, or -1 after blanking the message's command and validity.
    int isAcceptedReply (SysexMessage& message) const;

    // Every message from the amplifier's input, on the MIDI thread.
    void handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message) override;

protected:
    // Stops the timer and closes the port pair, the input first. The most-derived link calls this
    // first in its destructor: a MIDI callback that still arrived while a derived part is being
    // destroyed would run on a half-destroyed object.
    void closePorts();

    // Re-entrant: an operation holds it around the exchanges and transfers it is made of.
    juce::CriticalSection& getOperationLock() noexcept { return requestLock; }

    virtual void bootModeConnected() {}
    virtual void bootModeDisconnected() {}
    virtual void appModeConnected() {}
    virtual void appModeDisconnected() {}

    // Filled by the derived link's constructor, before the first tick.
    ProductInfoList products;
    juce::Array<juce::uint8> acceptedReplies;

private:
    void setTickPeriod (int periodMs);
    void openPorts (const juce::String& portName, int nextState);
    void settlePorts (const juce::String& portName, int nextState);
    // Whether the product of a transfer begun in this state is still there with its ports open.
    bool isStillConnected (const ProductInfo* product, int state);
    void armReply (juce::uint8 replyCommand);
    bool waitForReply() const;

    const LinkTiming timing;
    MidiInterfaceClass ports;
    std::unique_ptr<UsbDeviceEnumerator> usb;
    juce::Array<UsbDeviceId> presentDevices; // message thread only; a transfer scans into its own

    std::atomic<ProductInfo*> currentProduct{ nullptr };
    std::unique_ptr<FirmwareStreamer> streamer; // message thread only
    std::atomic<int> linkState{ idle };
    // Raised before the state says connected.
    std::atomic<juce::uint32> connectionCount{ 0 };
    int tickCounter = 0; // message thread only
    std::atomic<bool> updateRequested{ false };
    std::atomic<bool> updating{ false };

    juce::CriticalSection replyLock;
    std::unique_ptr<SysexMessage> replySlot; // replyLock
    juce::uint8 expectedReply = 0;           // replyLock
    std::atomic<bool> replyArrived{ false }; // written under replyLock; polled without it

    juce::CriticalSection requestLock;

    JUCE_DECLARE_NON_COPYABLE (BaseCom)
};
