#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <thread>

#include "document/PresetLibrary.h"
#include "shell/WindowContentConstrainer.h"
#include "look/SystemFontLookAndFeel.h"

class MainContentComponent;

// The program as the framework drives it: one instance, one main window.
class VantorelApplication : public juce::JUCEApplication
{
public:
    // The one top-level window; its content is the MainContentComponent.
    class MainWindow : public juce::DocumentWindow
    {
    public:
        // Shows the content, which it owns.
        MainWindow (const juce::String& name, std::unique_ptr<MainContentComponent> content);

        // Ends the program, unless the user wanted to save and the save did not happen. While a
        // modal window is open it only brings that window to the front.
        void closeButtonPressed() override;

        MainContentComponent* getMainContent() const;

        void resized() override;
        void moved() override;

    private:
        // The frame is known only once the window manager has decorated the window, and a
        // size the window manager gave before the limits knew the frame is put right here.
        void keepContentWithinLimits();

        WindowContentConstrainer sizeLimits{ 1024, 600, 1920, 1080 };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

    VantorelApplication();
    ~VantorelApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;
    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    // Quits, unless a modal window is open: that window is brought to the front instead.
    void systemRequestedQuit() override;

protected:
    // The window's content: the program's own, with the real user, Documents folder,
    // version service and link. Called once, by initialise.
    virtual std::unique_ptr<MainContentComponent> createMainContent();

private:
    // The program was drawn for this look; the default look of the framework is
    // dark and would leave the scheme's texts unreadable. It also chooses the
    // typefaces of every text. Declared before the window, which draws with it,
    // so that it outlives the window.
    SystemFontLookAndFeel lookAndFeel;
    // The shared preset library is acquired and all its categories parsed on a thread of its
    // own while the program opens its display;
    // initialise waits for it before the main content, which uses it, is built. Written by that
    // thread only, read after it has been joined.
    std::unique_ptr<juce::SharedResourcePointer<PresetLibrary>> presetLibrary;
    std::thread presetLibraryLoader;
    std::unique_ptr<MainWindow> mainWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VantorelApplication)
};
