#include "testing/emulator/EmulatorReplyQueue.h"
#include <gtest/gtest.h>

namespace
{
struct Recorder : juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message) override
    {
        const juce::ScopedLock sl (lock);
        notes.add (message.getNoteNumber());
    }

    juce::Array<int> received()
    {
        const juce::ScopedLock sl (lock);
        return notes;
    }

    juce::CriticalSection lock;
    juce::Array<int> notes;
};
} // namespace

// Replies queued while the delivery thread waits for a later one: the queue grows under the wait,
// which must not hold on to an element of it (AddressSanitizer reports that otherwise).
TEST (EmulatorReplyQueue, RepliesQueuedDuringAWaitGoOutInTheirTimeOrder)
{
    Recorder recorder;
    EmulatorReplyQueue queue;
    queue.setInputStarted (queue.registerInput (&recorder, 0, true), true);

    queue.push (juce::MidiMessage::noteOn (1, 0, (juce::uint8)1), 0, 1000);
    juce::Thread::sleep (50); // the thread is now waiting for it
    for (int note = 1; note <= 100; ++note)
        queue.push (juce::MidiMessage::noteOn (1, note, (juce::uint8)1), 0, 0);

    for (int wait = 0; wait < 1000 && recorder.received().size() < 101; ++wait)
        juce::Thread::sleep (10);

    juce::Array<int> expected;
    for (int note = 1; note <= 100; ++note)
        expected.add (note);
    expected.add (0);
    EXPECT_EQ (recorder.received(), expected);
}
