#pragma once

#include "platform/UserInteraction.h"

// The real user: modal framework message boxes, the native file chooser and
// the keyboard state.
class JuceUserInteraction : public UserInteraction
{
public:
    JuceUserInteraction() = default;

    void showMessage (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& buttonText = {}) override;
    bool askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& okText = {}, const juce::String& cancelText = {}) override;
    int askYesNoCancel (Icon icon, const juce::String& title, const juce::String& message,
                        const juce::String& yesText = {}, const juce::String& noText = {},
                        const juce::String& cancelText = {}) override;
    std::optional<juce::File> chooseFileToSave (const juce::String& title, const juce::File& start,
                                                const juce::String& pattern,
                                                bool warnAboutOverwriting = true) override;
    std::optional<juce::File> chooseFileToOpen (const juce::String& title, const juce::File& start,
                                                const juce::String& pattern) override;
    bool isKeyCurrentlyDown (int keyCode) override;
    int runDialog (juce::Component& content, const juce::String& title) override;
    int showMenu (const juce::PopupMenu& menu) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (JuceUserInteraction)
};
