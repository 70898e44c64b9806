#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>

// A dialog window of the launch options around `content`, which stays the caller's. The window
// reaches the desktop only once it is settled: decorations first, then fitted around the content's
// own size, then `decorate` (e.g. a title bar height the options cannot give), centred. It is
// never on the desktop at another size, so no late word of the window manager about an earlier
// size can stretch the content. Not yet shown. Closing it hides it, as the framework's own does.
//
// The framework's own dialog window is on the desktop from its first line, sized around the
// content before its decorations are settled, and then lays the content over whatever room they
// left: with a native title bar, the room of its own title bar and border.
class DialogWindowAround : public juce::DialogWindow
{
public:
    explicit DialogWindowAround (const juce::DialogWindow::LaunchOptions& options);

    void closeButtonPressed() override;

private:
    JUCE_DECLARE_NON_COPYABLE (DialogWindowAround)
};

std::unique_ptr<juce::DialogWindow>
createDialogWindowAround (juce::Component& content, const juce::DialogWindow::LaunchOptions& options,
                          const std::function<void (juce::DialogWindow&)>& decorate = {});
