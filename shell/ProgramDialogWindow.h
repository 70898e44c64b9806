#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The window of each of the program's own dialogs: light grey, without the native title bar and
// with no title bar of its own, not resizable, around content that it does not own. Escape
// presses its close button only when escapeCloses is set. Not yet shown or modal.
std::unique_ptr<juce::DialogWindow> createProgramDialogWindow (const juce::String& title,
                                                               juce::Component& content, bool escapeCloses);
