// The main window on the X server of the test run (Xvfb, without a window manager).
#include "tests/shell/MainContentTestSupport.h"

#include "shell/SaveFileDialog.h"
#include "shell/VantorelApplication.h"

using namespace maintest;

namespace
{
// The few Xlib calls a window manager would make, taken from the library the framework loads
// itself: the test announces a window frame and reads back the size hints. It also ignores X
// errors as the framework does in a program (outside one it leaves Xlib's handler, which ends
// the process at the first error of the framework's own requests). Xlib's headers define macros
// that clash with the framework's names; the types are spelled out here.
class WindowManagerStandIn
{
    using Display = void;
    using Atom = unsigned long;
    using XWindow = unsigned long;

    // Xlib's XSizeHints, as far as it is read here.
    struct SizeHints
    {
        long flags;
        int x, y, width, height, minWidth, minHeight, maxWidth, maxHeight;
    };

    static constexpr Atom cardinalAtom = 6;
    static constexpr int replaceProperty = 0;

public:
    WindowManagerStandIn()
    {
        if (!library.open ("libX11.so.6"))
            return;

        openDisplay = (decltype (openDisplay))library.getFunction ("XOpenDisplay");
        closeDisplay = (decltype (closeDisplay))library.getFunction ("XCloseDisplay");
        internAtom = (decltype (internAtom))library.getFunction ("XInternAtom");
        changeProperty = (decltype (changeProperty))library.getFunction ("XChangeProperty");
        sync = (decltype (sync))library.getFunction ("XSync");
        allocSizeHints = (decltype (allocSizeHints))library.getFunction ("XAllocSizeHints");
        getNormalHints = (decltype (getNormalHints))library.getFunction ("XGetWMNormalHints");
        freeMemory = (decltype (freeMemory))library.getFunction ("XFree");
        setErrorHandler = (decltype (setErrorHandler))library.getFunction ("XSetErrorHandler");

        if (setErrorHandler != nullptr)
            previousErrorHandler = setErrorHandler ([] (Display*, void*) { return 0; });

        if (openDisplay != nullptr && closeDisplay != nullptr && internAtom != nullptr &&
            changeProperty != nullptr && sync != nullptr && allocSizeHints != nullptr &&
            getNormalHints != nullptr && freeMemory != nullptr)
            display = openDisplay (nullptr);
    }

    ~WindowManagerStandIn()
    {
        if (display != nullptr)
            closeDisplay (display);

        if (setErrorHandler != nullptr)
            setErrorHandler (previousErrorHandler);
    }

    bool isAvailable() const { return display != nullptr; }

    // What a window manager announces after decorating the window.
    void announceFrame (juce::ComponentPeer& peer, long left, long right, long top, long bottom)
    {
        const long extents[] = { left, right, top, bottom };
        changeProperty (display, windowOf (peer), internAtom (display, "_NET_FRAME_EXTENTS", 0), cardinalAtom,
                        32, replaceProperty, reinterpret_cast<const unsigned char*> (extents), 4);
        sync (display, 0);
    }

    // Touches a property of the window, as a window manager's traffic would: the program's X
    // connection wakes and handles the events that its own requests left queued in Xlib, which no
    // poll of the connection would report (a ConfigureNotify among them, which re-sends the hints).
    void nudge (juce::ComponentPeer& peer)
    {
        const long value = 0;
        changeProperty (display, windowOf (peer), internAtom (display, "VANTOREL_TEST_NUDGE", 0), cardinalAtom,
                        32, replaceProperty, reinterpret_cast<const unsigned char*> (&value), 1);
        sync (display, 0);
    }

    // The smallest and largest size the window manager would allow.
    juce::Rectangle<int> sizeHints (juce::ComponentPeer& peer, bool largest)
    {
        auto* hints = allocSizeHints();
        long supplied = 0;
        sync (display, 0);
        getNormalHints (display, windowOf (peer), hints, &supplied);
        const auto size = largest ? juce::Rectangle<int> (hints->maxWidth, hints->maxHeight)
                                  : juce::Rectangle<int> (hints->minWidth, hints->minHeight);
        freeMemory (hints);
        return size;
    }

private:
    static XWindow windowOf (juce::ComponentPeer& peer) { return (XWindow)peer.getNativeHandle(); }

    juce::DynamicLibrary library;
    Display* display = nullptr;
    Display* (*openDisplay) (const char*) = nullptr;
    int (*closeDisplay) (Display*) = nullptr;
    Atom (*internAtom) (Display*, const char*, int) = nullptr;
    int (*changeProperty) (Display*, XWindow, Atom, Atom, int, int, const unsigned char*, int) = nullptr;
    int (*sync) (Display*, int) = nullptr;
    SizeHints* (*allocSizeHints)() = nullptr;
    int (*getNormalHints) (Display*, XWindow, SizeHints*, long*) = nullptr;
    int (*freeMemory) (void*) = nullptr;
    using ErrorHandler = int (*) (Display*, void*);
    ErrorHandler (*setErrorHandler) (ErrorHandler) = nullptr;
    ErrorHandler previousErrorHandler = nullptr;
};

// A main content whose Save dialog is the real one, shown in its own window, and closed with
// the Escape key as soon as it is up.
class EscapedSaveContent : public MainContentComponent
{
public:
    using MainContentComponent::MainContentComponent;

    int saveDialogsShown = 0;

protected:
    int runSaveDialog (SaveFileDialog& dialog) override
    {
        ++saveDialogsShown;
        juce::Timer::callAfterDelay (50, [] { pressEscapeOnTheDialog(); });
        return MainContentComponent::runSaveDialog (dialog);
    }

private:
    static void pressEscapeOnTheDialog()
    {
        auto* modal = juce::Component::getCurrentlyModalComponent();

        if (modal == nullptr || modal->getPeer() == nullptr)
        {
            juce::Timer::callAfterDelay (50, [] { pressEscapeOnTheDialog(); });
            return;
        }

        modal->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
    }
};

class MainWindowTest : public MainContentTest
{
protected:
    template <typename Content> Content& open()
    {
        MainContentComponent::Services services{ user, documents, unreachableEndpoint(), nullptr,
                                                 [this] (juce::Component&) { return familyChoice; } };
        auto owned = std::make_unique<Content> (services);
        auto& made = *owned;
        window = std::make_unique<VantorelApplication::MainWindow> ("Vantorel", std::move (owned));
        settle();
        return made;
    }

    template <typename Condition> bool settle (Condition condition)
    {
        for (int i = 0; i < 400 && !condition(); ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);

        return condition();
    }

    // Lets the X server and the window catch up.
    void settle()
    {
        for (int i = 0; i < 20; ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    }

    juce::Rectangle<int> contentSize() const { return window->getContentComponent()->getLocalBounds(); }

    ~MainWindowTest() override { window.reset(); }

    WindowManagerStandIn windowManager;
    std::unique_ptr<VantorelApplication::MainWindow> window;
};
} // namespace

TEST_F (MainWindowTest, ContentStaysWithinItsLimitsWhateverFrameSurroundsIt)
{
    if (!windowManager.isAvailable())
        GTEST_SKIP() << "no X display";

    open<ScriptedMainContent>();
    auto* peer = window->getPeer();
    ASSERT_NE (peer, nullptr);
    EXPECT_EQ (contentSize(), juce::Rectangle<int> (1024, 600));

    // A title bar of 24 pixels and edges of 1: the window manager must be told limits that leave
    // the content its 1024 x 600 to 1920 x 1080.
    windowManager.announceFrame (*peer, 1, 1, 24, 1);
    ASSERT_TRUE (settle (
        [peer]
        {
            const auto frame = peer->getFrameSizeIfPresent();
            return frame && frame->getTop() == 24;
        }));

    // What a window manager would allow with hints that did not count the frame.
    window->setSize (1022, 575);
    settle ([&] { return contentSize() == juce::Rectangle<int> (1024, 600); });
    EXPECT_EQ (contentSize(), juce::Rectangle<int> (1024, 600));
    // The hints give the size inside the frame; the framework sends them when it gets round to it.
    const auto smallest = juce::Rectangle<int> (1024, 600), largest = juce::Rectangle<int> (1920, 1080);
    settle (
        [&]
        {
            windowManager.nudge (*peer);
            return windowManager.sizeHints (*peer, false) == smallest;
        });
    EXPECT_EQ (windowManager.sizeHints (*peer, false), smallest);
    EXPECT_EQ (windowManager.sizeHints (*peer, true), largest);

    window->setSize (1900, 1200);
    settle ([&] { return contentSize() == juce::Rectangle<int> (1900, 1080); });
    EXPECT_EQ (contentSize(), juce::Rectangle<int> (1900, 1080));
}

TEST_F (MainWindowTest, TheKeyboardFocusComesBackAfterTheSaveDialogIsEscaped)
{
    if (!windowManager.isAvailable())
        GTEST_SKIP() << "no X display";

    auto& content = open<EscapedSaveContent>();
    auto* peer = window->getPeer();
    ASSERT_NE (peer, nullptr);

    content.buttonClicked (&content.getSaveButton());
    ASSERT_EQ (content.saveDialogsShown, 1);
    settle ([&] { return peer->isFocused(); });

    // Without the focus, the key map (CTRL + S, CTRL + P) would not answer until a click.
    EXPECT_TRUE (content.hasKeyboardFocus (true)) << "the main content has the keyboard again";
    EXPECT_TRUE (peer->isFocused()) << "the window receives the keys";
}
