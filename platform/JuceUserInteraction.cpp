#include "platform/JuceUserInteraction.h"
#include "platform/DialogWindowAround.h"

namespace
{
juce::MessageBoxIconType toIconType (UserInteraction::Icon icon)
{
    switch (icon)
    {
        case UserInteraction::Icon::warning:
            return juce::MessageBoxIconType::WarningIcon;
        case UserInteraction::Icon::question:
            return juce::MessageBoxIconType::QuestionIcon;
        case UserInteraction::Icon::info:
            break;
    }

    return juce::MessageBoxIconType::InfoIcon;
}
} // namespace

void JuceUserInteraction::showMessage (Icon icon, const juce::String& title, const juce::String& message,
                                       const juce::String& buttonText)
{
    juce::AlertWindow::showMessageBox (toIconType (icon), title, message, buttonText);
}

bool JuceUserInteraction::askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                                       const juce::String& okText, const juce::String& cancelText)
{
    return juce::AlertWindow::showOkCancelBox (toIconType (icon), title, message, okText, cancelText);
}

int JuceUserInteraction::askYesNoCancel (Icon icon, const juce::String& title, const juce::String& message,
                                         const juce::String& yesText, const juce::String& noText,
                                         const juce::String& cancelText)
{
    return juce::AlertWindow::showYesNoCancelBox (toIconType (icon), title, message, yesText, noText,
                                                  cancelText);
}

std::optional<juce::File> JuceUserInteraction::chooseFileToSave (const juce::String& title,
                                                                 const juce::File& start,
                                                                 const juce::String& pattern,
                                                                 bool warnAboutOverwriting)
{
    juce::FileChooser chooser (title, start, pattern, true);

    if (!chooser.browseForFileToSave (warnAboutOverwriting))
        return std::nullopt;

    return chooser.getResult();
}

std::optional<juce::File> JuceUserInteraction::chooseFileToOpen (const juce::String& title,
                                                                 const juce::File& start,
                                                                 const juce::String& pattern)
{
    juce::FileChooser chooser (title, start, pattern, true);

    if (!chooser.browseForFileToOpen())
        return std::nullopt;

    return chooser.getResult();
}

bool JuceUserInteraction::isKeyCurrentlyDown (int keyCode)
{
    return juce::KeyPress::isKeyCurrentlyDown (keyCode);
}

int JuceUserInteraction::runDialog (juce::Component& content, const juce::String& title)
{
    const auto given = content.getBounds();

    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = title;
    options.resizable = false;

    auto window = createDialogWindowAround (content, options);
    window->enterModalState (true);
    const int result = window->runModalLoop();

    // The content sat at the window's origin; the caller gets it back where it was.
    window.reset();
    content.setBounds (given);
    return result;
}

int JuceUserInteraction::showMenu (const juce::PopupMenu& menu)
{
    auto shown = menu;
    return shown.show();
}
