#include "updates/RequestCanceller.h"

void RequestCanceller::cancel()
{
    // Under the lock, so that the requesting thread cannot detach and destroy the stream while it
    // is being cancelled.
    const juce::ScopedLock sl (lock);
    cancelled = true;

    if (activeStream != nullptr)
        activeStream->cancel();
}

bool RequestCanceller::isCancelled() const
{
    const juce::ScopedLock sl (lock);
    return cancelled;
}

bool RequestCanceller::attach (juce::WebInputStream& stream)
{
    const juce::ScopedLock sl (lock);

    if (cancelled)
        return false;

    activeStream = &stream;
    return true;
}

void RequestCanceller::detach()
{
    const juce::ScopedLock sl (lock);
    activeStream = nullptr;
}
