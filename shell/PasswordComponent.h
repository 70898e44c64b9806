#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "look/iosButton.h"

#include <optional>

// The content of the password windows: a heading, a masked text field, a
// "Show text" toggle and an OK button. A submitted password (OK or Return with
// a non-empty field) goes to the action listeners as the message text. Escape
// is a cancel and reaches only the Listeners below, never the action
// listeners, so no typed text can be mistaken for a cancel. The component
// never closes its window: its listeners decide.
class PasswordComponent : public juce::Component,
                          public juce::Button::Listener,
                          public juce::ActionBroadcaster,
                          public juce::KeyListener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // Escape was pressed in the field. Called at once, before the key
        // travels on to the window, so a listener knows of the cancel before
        // the window closes. The field keeps its text.
        virtual void passwordEntryCancelled (PasswordComponent&) = 0;
    };

    PasswordComponent();
    ~PasswordComponent() override;

    void setHeading (const juce::String& text);
    const juce::String& getHeading() const { return heading; }

    // The hidden password window around this component, with the given title:
    // no title bar shown, not resizable, Escape closes it. The window does not
    // own the component, which must outlive it.
    std::unique_ptr<juce::DialogWindow> createHiddenDialog (const juce::String& title);

    // Shows that window modally, with an empty field, until one of the listeners hides it, ending
    // a modal state it still had first. The password submitted meanwhile, or nothing when the entry was
    // cancelled or the window was closed without one.
    std::optional<juce::String> runDialog (juce::DialogWindow& window);

    void addListener (Listener* listener) { cancelListeners.add (listener); }
    void removeListener (Listener* listener) { cancelListeners.remove (listener); }

    void buttonClicked (juce::Button*) override;

    using juce::Component::keyPressed;
    bool keyPressed (const juce::KeyPress&, juce::Component* originatingComponent) override;

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    static constexpr juce::juce_wchar maskCharacter = 0x2022;
    static constexpr int marginX = 15;
    static constexpr int marginY = 15;
    static constexpr int buttonWidth = 100;
    static constexpr int buttonHeight = 25;

    void submit();

    juce::String heading;
    juce::Rectangle<int> headingArea, buttonStrip;

    iosButton okButton;
    juce::TextEditor passwordField;
    juce::ToggleButton showTextToggle;

    juce::ListenerList<Listener> cancelListeners;
    std::optional<juce::String> submitted; // the last entry of the current runDialog

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PasswordComponent)
};
