#pragma once

#include <juce_core/juce_core.h>

// Lets one thread end a web request that another thread is waiting in. A request that waits for a
// slow service must not hold up the end of the program for the whole time-out.
class RequestCanceller
{
public:
    RequestCanceller() = default;

    // Any thread: breaks off the request in progress and refuses every later one.
    void cancel();

    bool isCancelled() const;

    // Called by the requesting thread around the exchange. attach is false, attaching nothing,
    // once cancel has been called; detach must come before the stream is destroyed.
    bool attach (juce::WebInputStream& stream);
    void detach();

private:
    mutable juce::CriticalSection lock;
    juce::WebInputStream* activeStream = nullptr; // guarded by lock
    bool cancelled = false;                       // guarded by lock

    JUCE_DECLARE_NON_COPYABLE (RequestCanceller)
};
