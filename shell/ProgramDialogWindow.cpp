#include "shell/ProgramDialogWindow.h"
#include "platform/DialogWindowAround.h"

std::unique_ptr<juce::DialogWindow> createProgramDialogWindow (const juce::String& title,
                                                               juce::Component& content, bool escapeCloses)
{
    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = title;
    options.dialogBackgroundColour = juce::Colours::lightgrey;
    options.escapeKeyTriggersCloseButton = escapeCloses;
    options.useNativeTitleBar = false;
    options.resizable = false;

    return createDialogWindowAround (content, options,
                                     [] (juce::DialogWindow& window) { window.setTitleBarHeight (0); });
}
