#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The window of each of the program's own dialogs: light grey, without the native title bar and
// with no title bar of its own, not resizable, around content that it does not own. Escape
// presses its close button only when escapeCloses is set. Not yet shown or modal.
//
// The window keeps the height that holds the content under the framework's title bar, and the
// content takes the hidden bar's room: the contents lay out their bottom strips from their height
// and leave that room above them. Each content is put in one window only, or it would grow.
std::unique_ptr<juce::DialogWindow> createProgramDialogWindow (const juce::String& title,
                                                               juce::Component& content, bool escapeCloses);
