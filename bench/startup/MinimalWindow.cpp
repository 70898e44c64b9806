#include <juce_gui_basics/juce_gui_basics.h>

// The yardstick of the start-up measurement: a JUCE program that does nothing but
// open a window of the main window's size and kind.
class MinimalWindowApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "MinimalWindow"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override { window = std::make_unique<Window>(); }
    void shutdown() override { window = nullptr; }

private:
    struct Window : juce::DocumentWindow
    {
        // Put on the desktop once, as the main window is.
        Window() : juce::DocumentWindow ("MinimalWindow", juce::Colours::lightgrey, allButtons, false)
        {
            setUsingNativeTitleBar (true);
            setResizable (true, false);
            addToDesktop (getDesktopWindowStyleFlags());
            content.setSize (1024, 600);
            setContentNonOwned (&content, true);
            centreWithSize (getWidth(), getHeight());
            setVisible (true);
        }

        void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }

        juce::Component content;
    };

    std::unique_ptr<Window> window;
};

START_JUCE_APPLICATION (MinimalWindowApplication)
