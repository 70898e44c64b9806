#pragma once

#include "link/VantorelCom.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>

// The connected amplifier's firmware revision and serial number, read once per connection on the
// thread "Identity Reader": an amplifier that does not answer costs its reply time-outs (seconds)
// there, never the window's.
//
// Threads: everything but run() on the message thread. A read that finds the link in use (a
// synchronisation pass still sending) waits for it between polls, and asks the amplifier once the
// link is free: a busy link is not a silent amplifier. The status display starts no pass during a
// read, and the message thread's own requests take a Hold, which stops the read.
// Hand-overs:
// - the finished reading: readingLock, written once at the end of a read, copied by the message
//   thread;
// - the end of a read: an atomic flag the reader clears as its last step, and an async update
//   that brings a waiting road back to the message thread;
// - stopping: the reader's exit signal, which the link sees between two reply polls.
class AmplifierIdentity : private juce::Thread, private juce::AsyncUpdater
{
public:
    struct Reading
    {
        juce::uint32 connection = 0; // the link's connection count it was read on; 0: none
        juce::uint32 number = 0;     // counts the reads that ran to their end; 0: none
        juce::uint32 revision = 0;   // 0: the amplifier did not answer
        juce::uint32 serialNumber = 0;
        int firmwareComparison = 0; // VantorelCom::compareFirmware, once the revision is known
    };

    explicit AmplifierIdentity (VantorelCom& link);
    // Stops a running read and forgets a waiting road: the link is not used after this.
    ~AmplifierIdentity() override;

    // Starts reading the amplifier connected now, unless a read runs already; false while a hold
    // is taken or no amplifier is connected in application mode. What the last read of this
    // connection found stays until the new one has run to its end.
    bool startReading();
    bool isReading() const { return readRunning.load(); }
    // True once no read runs, false when one still did after the time.
    bool waitForReading (int milliseconds) const { return waitForThreadToExit (milliseconds); }
    // What the last read found, once it has run to its end, when it was made on the connection
    // there is now; otherwise an empty reading.
    Reading getReading() const;

    // Runs a road that needs this connection's revision and serial number once they have been
    // read: at once when they have been and no read runs (also when the last read found nothing:
    // the amplifier did not answer), or when no amplifier is connected in application mode;
    // otherwise from the message loop when the read in flight (the first, or a retry of one that
    // found nothing), started here when none runs, has ended. The window goes on meanwhile. One
    // road waits at a time: a later click takes its place. A waiting road is dropped when one of
    // the program's windows is open by the time the read ends, or a hold is taken; the road itself
    // checks that what it was started for is still there.
    void whenRead (std::function<void()> road);

    // The link for the message thread: a running read is stopped when the hold is taken (within a
    // reply poll), and none starts until the last hold is gone.
    class Hold
    {
    public:
        explicit Hold (AmplifierIdentity& owner);
        ~Hold();

    private:
        AmplifierIdentity& owner;
        JUCE_DECLARE_NON_COPYABLE (Hold)
    };

    bool isHeld() const { return holds > 0; }

private:
    void run() override;
    void readAmplifier();
    // Reads one word through the link, waiting while another thread uses it; false when this read
    // was stopped or the connection went meanwhile.
    bool readWhenLinkFree (juce::uint32 (VantorelCom::*read) (bool*), juce::uint32 connection,
                           juce::uint32& word);
    void handleAsyncUpdate() override;
    void stopReading();
    // Connected in application mode, and this connection not read to its end yet.
    bool isReadingMissing() const;

    VantorelCom& link;
    int holds = 0;                          // message thread
    std::function<void()> waitingRoad;      // message thread
    std::atomic<bool> readRunning{ false }; // set by the message thread, cleared by the reader

    juce::CriticalSection readingLock;
    Reading lastReading;            // readingLock
    juce::uint32 readsFinished = 0; // the reader's; reads never overlap

    JUCE_DECLARE_NON_COPYABLE (AmplifierIdentity)
};
