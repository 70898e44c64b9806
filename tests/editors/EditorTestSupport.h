#pragma once

#include "testing/user/ScriptedUserInteraction.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>

// Delivers every message posted so far: a marker goes to the back of the queue
// and the loop runs until it arrives (generous limit, no fixed wait).
inline void deliverPendingMessages()
{
    auto arrived = std::make_shared<std::atomic<bool>> (false);
    juce::MessageManager::callAsync ([arrived] { *arrived = true; });

    for (int i = 0; i < 10000 && !*arrived; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
}

// A click as the mouse makes it: the button calls its listeners from the loop.
inline void click (juce::Button& button)
{
    button.triggerClick();
    deliverPendingMessages();
}

// What a user's typing leaves in a slider's text box when they press return.
inline void typeInto (juce::Slider& slider, const juce::String& text)
{
    for (auto* child : slider.getChildren())
        if (auto* box = dynamic_cast<juce::Label*> (child))
            box->setText (text, juce::sendNotificationSync);
}

inline juce::String shownText (juce::Slider& slider)
{
    for (auto* child : slider.getChildren())
        if (auto* box = dynamic_cast<juce::Label*> (child))
            return box->getText();
    return {};
}

// A Documents folder of its own, removed with the test.
struct TemporaryDocuments
{
    TemporaryDocuments() { folder.createDirectory(); }
    ~TemporaryDocuments() { folder.deleteRecursively(); }

    juce::File folder = juce::File::createTempFile ("documents");
};
