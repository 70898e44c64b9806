#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The window of the program's own dialogs (password, programming, firmware update): light grey,
// without the native title bar, not resizable, title bar height 0. The content is not owned by the
// window and must outlive it. The window is created hidden.
std::unique_ptr<juce::DialogWindow> createProgramDialogWindow (const juce::String& title,
                                                               juce::Component& content, bool escapeCloses);
