#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// The emulated amplifier's side of the MIDI input: replies wait here until they are due and then
// go out on the queue's own thread, as a real MIDI input delivers them, to every started input of
// the amplifier's port generation they were made for. A new generation (the amplifier unplugged or
// restarted) drops everything still on the way.
class EmulatorReplyQueue
{
public:
    EmulatorReplyQueue();
    ~EmulatorReplyQueue();

    // Stops the delivery thread; nothing is delivered afterwards.
    void stop();

    // Inputs opened on a port of this generation; amplifierPort tells the amplifier's port from an
    // unrelated one, which never hears from it.
    int registerInput (juce::MidiInputCallback* callback, int generation, bool amplifierPort);
    // Waits for a callback in progress: once it returns with false, no callback runs for the input.
    void setInputStarted (int inputId, bool started);
    void unregisterInput (int inputId);

    void push (const juce::MidiMessage& message, int generation, int delayMs);
    // Drops every pending reply; only replies of this generation are delivered from now on.
    void startGeneration (int generation);

private:
    using Clock = std::chrono::steady_clock;

    struct InputSlot
    {
        int id;
        juce::MidiInputCallback* callback;
        int generation;
        bool amplifierPort;
        bool started;
    };

    struct PendingReply
    {
        Clock::time_point due;
        int generation;
        juce::MidiMessage message;
    };

    void run();
    void deliver (const PendingReply& reply);

    std::mutex inputMutex;         // held across every callback
    std::vector<InputSlot> inputs; // inputMutex
    int lastInputId = 0;           // inputMutex

    std::mutex queueMutex;
    std::condition_variable queueChanged;
    std::vector<PendingReply> pending; // queueMutex
    int currentGeneration = 0;         // queueMutex
    bool quit = false;                 // queueMutex
    std::thread thread;
};
