#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "look/iosButton.h"

// The content of the "Programming Done" window: tells the user that the amplifier has been
// programmed and offers to keep it synchronised. The window's modal result is 1 when the user
// leaves with OK and "Enable Synchronization" on, otherwise 0.
class ProgramDialog : public juce::Component, public juce::Button::Listener
{
public:
    static constexpr int dialogWidth = 360;
    static constexpr int dialogHeight = 220;

    ProgramDialog();
    ~ProgramDialog() override;

    // Shows a dialog in its own modal "Programming Done" window and gives the window's result.
    static int runModal();

    juce::Button& getOkButton() { return *okButton; }
    juce::ToggleButton& getSyncToggle() { return *syncToggle; }

    void buttonClicked (juce::Button*) override;
    void paint (juce::Graphics&) override;
    void resized() override;

private:
    static constexpr int marginX = 15;
    static constexpr int marginY = 15;

    juce::Rectangle<int> buttonArea{ 0, 0, 100, 25 };
    juce::Rectangle<int> barArea, titleArea, textArea, toggleTitleArea, toggleTextArea;
    juce::Rectangle<int> iconArea{ 0, 0, 150, 150 };

    std::unique_ptr<iosButton> okButton;
    std::unique_ptr<juce::ToggleButton> syncToggle;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProgramDialog)
};
