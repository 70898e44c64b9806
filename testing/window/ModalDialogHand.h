#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The user's hand in a test, acting from inside a modal loop: once a dialog window is the modal
// component and shows, it is handed to the action, once. The action notes what it wants and
// closes the window. A window that never comes, or stays open after the action, is ended after a
// generous cap, so that it cannot hang the test; acted() then tells whether the action ran.
class ModalDialogHand : private juce::Timer
{
public:
    explicit ModalDialogHand (std::function<void (juce::DialogWindow&)> actionToTake)
        : action (std::move (actionToTake))
    {
        startTimer (5);
    }

    ~ModalDialogHand() override { stopTimer(); }

    bool acted() const { return done; }

private:
    static constexpr juce::uint32 capMs = 30000;

    void timerCallback() override
    {
        auto* modal = juce::Component::getCurrentlyModalComponent();

        if (juce::Time::getMillisecondCounter() - started > capMs)
        {
            if (modal != nullptr)
                modal->exitModalState (-1);
            return;
        }

        auto* window = dynamic_cast<juce::DialogWindow*> (modal);
        if (done || window == nullptr || !window->isShowing())
            return;

        done = true;
        action (*window);
    }

    std::function<void (juce::DialogWindow&)> action;
    const juce::uint32 started = juce::Time::getMillisecondCounter();
    bool done = false;
};
