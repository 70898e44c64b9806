#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// The window of the launch options around `content`, which stays the caller's and keeps the size
// it came with. `decorate` changes the window's own decorations (e.g. its title bar height) before
// the window is fitted around the content again, centred where it was placed. Not yet shown.
//
// The framework sizes its dialog window around the content before settling the decorations, and
// then lays the content over whatever room they left: a native title bar leaves the window's own
// title bar and border to the content. Content that outlives its window would keep that size, and
// the next window would be built around the bigger one.
std::unique_ptr<juce::DialogWindow>
createDialogWindowAround (juce::Component& content, juce::DialogWindow::LaunchOptions& options,
                          const std::function<void (juce::DialogWindow&)>& decorate = {});
