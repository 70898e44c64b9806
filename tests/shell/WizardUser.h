#pragma once

#include "updates/FWUpdateWizard.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The user in front of every firmware update wizard that opens: notes the headline it opens with,
// then presses Cancel, or Next whenever it is enabled.
class WizardUser : private juce::Timer
{
public:
    enum class Policy
    {
        cancel,
        update
    };

    explicit WizardUser (Policy policyToUse) : policy (policyToUse) { startTimer (10); }
    ~WizardUser() override { stopTimer(); }

    juce::StringArray openingHeadlines; // one per wizard

private:
    void timerCallback() override
    {
        for (int i = 0; i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i)
        {
            auto* window = dynamic_cast<juce::DialogWindow*> (juce::TopLevelWindow::getTopLevelWindow (i));
            auto* wizard =
                window != nullptr && window->getName() == "Firmware Update" && window->isCurrentlyModal()
                    ? dynamic_cast<FWUpdateWizard*> (window->getContentComponent())
                    : nullptr;
            if (wizard == nullptr)
                continue;

            if (current.getComponent() != wizard)
            {
                current = wizard;
                openingHeadlines.add (wizard->getHeadline().getText());
            }

            auto& button = policy == Policy::cancel ? wizard->getCancelButton() : wizard->getNextButton();
            if (button.isVisible() && button.isEnabled())
                wizard->buttonClicked (&button);
        }
    }

    const Policy policy;
    juce::Component::SafePointer<FWUpdateWizard> current;
};
