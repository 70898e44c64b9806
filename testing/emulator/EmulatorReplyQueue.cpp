#include "testing/emulator/EmulatorReplyQueue.h"
#include <algorithm>

EmulatorReplyQueue::EmulatorReplyQueue()
{
    thread = std::thread ([this] { run(); });
}

EmulatorReplyQueue::~EmulatorReplyQueue()
{
    stop();
}

void EmulatorReplyQueue::stop()
{
    {
        const std::lock_guard<std::mutex> lock (queueMutex);
        quit = true;
    }
    queueChanged.notify_all();
    if (thread.joinable())
        thread.join();
}

int EmulatorReplyQueue::registerInput (juce::MidiInputCallback* callback, int generation, bool amplifierPort)
{
    const std::lock_guard<std::mutex> lock (inputMutex);
    inputs.push_back ({ ++lastInputId, callback, generation, amplifierPort, false });
    return lastInputId;
}

void EmulatorReplyQueue::setInputStarted (int inputId, bool started)
{
    const std::lock_guard<std::mutex> lock (inputMutex);
    for (auto& input : inputs)
        if (input.id == inputId)
            input.started = started;
}

void EmulatorReplyQueue::unregisterInput (int inputId)
{
    const std::lock_guard<std::mutex> lock (inputMutex);
    inputs.erase (
        std::remove_if (inputs.begin(), inputs.end(), [inputId] (const auto& i) { return i.id == inputId; }),
        inputs.end());
}

void EmulatorReplyQueue::push (const juce::MidiMessage& message, int generation, int delayMs)
{
    {
        const std::lock_guard<std::mutex> lock (queueMutex);
        pending.push_back ({ Clock::now() + std::chrono::milliseconds (delayMs), generation, message });
    }
    queueChanged.notify_all();
}

void EmulatorReplyQueue::startGeneration (int generation)
{
    const std::lock_guard<std::mutex> lock (queueMutex);
    currentGeneration = generation;
    pending.clear();
}

void EmulatorReplyQueue::run()
{
    std::unique_lock<std::mutex> lock (queueMutex);
    while (!quit)
    {
        if (pending.empty())
        {
            queueChanged.wait (lock);
            continue;
        }

        // Equal due times keep their order: min_element finds the first.
        const auto next = std::min_element (pending.begin(), pending.end(),
                                            [] (const auto& a, const auto& b) { return a.due < b.due; });
        if (Clock::now() < next->due)
        {
            // A copy: the wait releases the lock, and a push may move the vector's elements.
            const auto due = next->due;
            queueChanged.wait_until (lock, due);
            continue;
        }

        const auto reply = std::move (*next);
        pending.erase (next);
        if (reply.generation != currentGeneration)
            continue;

        lock.unlock();
        deliver (reply);
        lock.lock();
    }
}

void EmulatorReplyQueue::deliver (const PendingReply& reply)
{
    const std::lock_guard<std::mutex> lock (inputMutex);
    for (const auto& input : inputs)
        if (input.started && input.amplifierPort && input.generation == reply.generation)
            input.callback->handleIncomingMidiMessage (nullptr, reply.message);
}
