#pragma once

#include "link/VantorelCom.h"

// The connected amplifier's firmware revision and serial number, read once per connection on the
// thread "Identity Reader": an amplifier that does not answer costs its reply time-outs (seconds)
// there, never the window's.
//
// Threads: everything but run() on the message thread. Nothing else may use the link while a read
// runs (the link's requests would refuse it): the status display starts no synchronisation pass
// during a read and no read during a pass, and the message thread's own requests take a Hold.
// Hand-overs:
// - the finished reading: readingLock, written once at the end of a read, copied by the message
//   thread;
// - stopping: the reader's exit signal, which the link sees between two reply polls.
class AmplifierIdentity : private juce::Thread
{
public:
    struct Reading
    {
        juce::uint32 connection = 0; // the link's connection count it was read on; 0: none
        juce::uint32 revision = 0;   // 0: the amplifier did not answer
        juce::uint32 serialNumber = 0;
        int firmwareComparison = 0; // VantorelCom::compareFirmware, once the revision is known
    };

    explicit AmplifierIdentity (VantorelCom& link);
    // Stops a running read: the link is not used after this.
    ~AmplifierIdentity() override;

    // Starts reading the amplifier connected now and forgets the last reading, unless a read runs
    // already; false while a hold is taken or no amplifier is connected in application mode.
    bool startReading();
    bool isReading() const { return isThreadRunning(); }
    // True once no read runs, false when one still did after the time.
    bool waitForReading (int milliseconds) const { return waitForThreadToExit (milliseconds); }
    // What the last read found, once it has run to its end, when it was made on the connection
    // there is now; otherwise an empty reading.
    Reading getReading() const;

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

private:
    void run() override;
    void stopReading();

    VantorelCom& link;
    int holds = 0; // message thread

    juce::CriticalSection readingLock;
    Reading lastReading; // readingLock

    JUCE_DECLARE_NON_COPYABLE (AmplifierIdentity)
};
