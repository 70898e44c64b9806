#pragma once

#include "platform/UserInteraction.h"

#include <deque>
#include <functional>
#include <set>

// A user that follows a script: answers come from queues that the test fills,
// and every question or notice is recorded in order. A question with no answer
// left in its queue is marked unexpected and answered with "cancel".
class ScriptedUserInteraction : public UserInteraction
{
public:
    struct Call
    {
        juce::String kind; // "message", "okCancel", "yesNoCancel", "save", "open", "key", "dialog", "menu"
        Icon icon = Icon::info;
        juce::String title, text; // for "key": the key code as text
        juce::File start;
        juce::String pattern;
        bool unexpected = false;
    };

    std::deque<std::optional<juce::File>> fileAnswers;
    std::deque<bool> okCancelAnswers;
    std::deque<int> yesNoCancelAnswers;
    std::set<int> keysDown;
    std::function<void()> onChooserOpened; // runs before a file chooser answers
    std::function<void()> onQuestion;      // runs before an OK/Cancel question is answered
    // Each plays the user inside one dialog and returns the dialog's result.
    std::deque<std::function<int (juce::Component&)>> dialogAnswers;
    std::deque<int> menuAnswers; // item ids; 0 dismisses the menu
    std::vector<Call> calls;

    void showMessage (Icon icon, const juce::String& title, const juce::String& text,
                      const juce::String&) override
    {
        calls.push_back ({ "message", icon, title, text });
    }

    bool askOkCancel (Icon icon, const juce::String& title, const juce::String& text, const juce::String&,
                      const juce::String&) override
    {
        calls.push_back ({ "okCancel", icon, title, text });
        if (onQuestion)
            onQuestion();
        return answer (okCancelAnswers, false);
    }

    int askYesNoCancel (Icon icon, const juce::String& title, const juce::String& text, const juce::String&,
                        const juce::String&, const juce::String&) override
    {
        calls.push_back ({ "yesNoCancel", icon, title, text });
        return answer (yesNoCancelAnswers, (int)cancelled);
    }

    std::optional<juce::File> chooseFileToSave (const juce::String& title, const juce::File& start,
                                                const juce::String& pattern, bool) override
    {
        return chooseFile ("save", title, start, pattern);
    }

    std::optional<juce::File> chooseFileToOpen (const juce::String& title, const juce::File& start,
                                                const juce::String& pattern) override
    {
        return chooseFile ("open", title, start, pattern);
    }

    bool isKeyCurrentlyDown (int keyCode) override
    {
        calls.push_back ({ "key", Icon::info, juce::String (keyCode) });
        return keysDown.count (keyCode) > 0;
    }

    int runDialog (juce::Component& content, const juce::String& title) override
    {
        calls.push_back ({ "dialog", Icon::info, title });
        auto play = answer (dialogAnswers, std::function<int (juce::Component&)>());
        return play ? play (content) : 0;
    }

    int showMenu (const juce::PopupMenu&) override
    {
        calls.push_back ({ "menu", Icon::info });
        return answer (menuAnswers, 0);
    }

    int countCalls (const juce::String& kind) const
    {
        return (int)std::count_if (calls.begin(), calls.end(),
                                   [&] (const Call& c) { return c.kind == kind; });
    }

    bool anyUnexpected() const
    {
        return std::any_of (calls.begin(), calls.end(), [] (const Call& c) { return c.unexpected; });
    }

private:
    template <typename T> T answer (std::deque<T>& queue, T whenNoneLeft)
    {
        if (queue.empty())
        {
            calls.back().unexpected = true;
            return whenNoneLeft;
        }

        auto front = queue.front();
        queue.pop_front();
        return front;
    }

    std::optional<juce::File> chooseFile (const char* kind, const juce::String& title,
                                          const juce::File& start, const juce::String& pattern)
    {
        calls.push_back ({ kind, Icon::info, title, {}, start, pattern });

        if (onChooserOpened)
            onChooserOpened();

        return answer (fileAnswers, std::optional<juce::File>());
    }
};
