#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <optional>

// Every question and notice that the program's flows put to the user goes
// through this one interface, so that the flows can be driven by a script in
// tests. Owners hand it to their components by reference.
class UserInteraction
{
public:
    enum class Icon
    {
        warning,
        info,
        question
    };

    // Answers of askYesNoCancel; the values are the framework's.
    enum YesNoCancel
    {
        cancelled = 0,
        yes = 1,
        no = 2
    };

    virtual ~UserInteraction() = default;

    // A box with one button; returns when the user has closed it. An empty
    // button text gives the framework's default.
    virtual void showMessage (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& buttonText = {}) = 0;

    // A box with two buttons; true when the first (OK, or okText) was pressed.
    virtual bool askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                              const juce::String& okText = {}, const juce::String& cancelText = {}) = 0;

    // A box with three buttons; returns one of YesNoCancel.
    virtual int askYesNoCancel (Icon icon, const juce::String& title, const juce::String& message,
                                const juce::String& yesText = {}, const juce::String& noText = {},
                                const juce::String& cancelText = {}) = 0;

    // The file chooser asking for a file to write; nothing when the user cancelled.
    // `start` is a folder or a proposed file, `pattern` e.g. "*.sapl".
    virtual std::optional<juce::File> chooseFileToSave (const juce::String& title, const juce::File& start,
                                                        const juce::String& pattern,
                                                        bool warnAboutOverwriting = true) = 0;

    // The file chooser asking for an existing file; nothing when the user cancelled.
    virtual std::optional<juce::File> chooseFileToOpen (const juce::String& title, const juce::File& start,
                                                        const juce::String& pattern) = 0;

    // Whether the key with this code (e.g. juce::KeyPress::F8Key) is held down now.
    virtual bool isKeyCurrentlyDown (int keyCode) = 0;

    // Shows the content, which stays the caller's, at its own size in a modal
    // dialog window with this title (not resizable, the framework's other
    // defaults), and gives it back with the bounds it came with; returns the
    // result the window left its modal state with (0 when it was closed).
    virtual int runDialog (juce::Component& content, const juce::String& title) = 0;

    // Shows the menu at the mouse position; the chosen item's id, 0 for none.
    virtual int showMenu (const juce::PopupMenu& menu) = 0;
};
