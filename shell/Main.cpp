#include <juce_gui_extra/juce_gui_extra.h>

// Until the application shell lands the program opens one empty window.
class VantorelStartupApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Vantorel"; }
    const juce::String getApplicationVersion() override { return "1.5.0"; }
    bool moreThanOneInstanceAllowed() override { return false; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<Window>();
        window->centreWithSize (1024, 600);
        window->setVisible (true);
    }

    void shutdown() override { window = nullptr; }
    void systemRequestedQuit() override { quit(); }

private:
    struct Window : juce::DocumentWindow
    {
        Window() : juce::DocumentWindow ("Vantorel", juce::Colours::lightgrey, allButtons)
        {
            setUsingNativeTitleBar (true);
            setResizable (true, false);
            setResizeLimits (1024, 600, 1920, 1080);
        }
        void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
    };

    std::unique_ptr<Window> window;
};

START_JUCE_APPLICATION (VantorelStartupApplication)
