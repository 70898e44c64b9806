#include "shell/ProgramDialogWindow.h"

std::unique_ptr<juce::DialogWindow> createProgramDialogWindow (const juce::String& title,
                                                               juce::Component& content, bool escapeCloses)
{
    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = title;
    options.content.setNonOwned (&content);
    options.dialogBackgroundColour = juce::Colours::lightgrey;
    options.escapeKeyTriggersCloseButton = escapeCloses;
    options.useNativeTitleBar = false;
    options.resizable = false;

    std::unique_ptr<juce::DialogWindow> window (options.create());
    window->setTitleBarHeight (0);
    return window;
}
