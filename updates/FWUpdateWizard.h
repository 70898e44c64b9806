#pragma once

#include "link/VantorelCom.h"
#include "updates/PageIndicator.h"
#include "look/iosButton.h"
#include <juce_gui_basics/juce_gui_basics.h>

// The firmware update, page by page: why it is needed, the amplifier restarting in update mode,
// the start of the stream, its progress, and the amplifier coming back. Shown in a modal dialog
// window, which ends with 1 after a completed update and 0 when the user cancels.
//
// An update counts as complete only when the amplifier comes back in application mode and reports
// the revision of the image that was streamed.
//
// Threads: the message thread runs the buttons, painting and layout. "Wiz Timer Thread" watches
// the link every 200 ms and feeds the state machine; it touches the wizard only while holding the
// message-manager lock, and gives up waiting for that lock when it is asked to exit, so that the
// destructor's wait cannot deadlock with it. It asks the amplifier for its revision without that
// lock, so that a silent amplifier never holds up the window. The link's state and progress are
// atomic words.
class FWUpdateWizard : public juce::Component, public juce::Button::Listener, private juce::Thread
{
public:
    enum State
    {
        required = 0,
        awaitingUpdateMode = 1,
        readyToUpdate = 2,
        updating = 3,
        complete = 4,
        failedAwaitingUpdateMode = 5,
        failedInUpdateMode = 6,
        couldNotStart = 7, // only its texts are used, in state 5
        newerFirmware = 8
    };

    enum Event
    {
        cancel = 0,
        next = 1,
        updateModeSeen = 2,
        updateFinished = 3,
        timeOut = 4
    };

    // The program always uses these values; a test may shorten them.
    struct Timing
    {
        // Five looks a second follow the stream's progress smoothly at no noticeable cost.
        int watchIntervalMs;
        // The boot loader is given this long after it shows up before the stream may start.
        int updateModeSettleMs;
    };

    static constexpr Timing defaultTiming{ 200, 1000 };
    // 150 watcher ticks (about 30 s) in state 3 for the stream and the amplifier's restart.
    static constexpr juce::uint8 tickLimit = 150;

    // The link must outlive the wizard.
    explicit FWUpdateWizard (VantorelCom& link, const Timing& timing = defaultTiming);
    ~FWUpdateWizard() override;

    // Stops the watcher; false when it did not end within 2 s. The destructor calls it.
    bool stopWatcher();

    void buttonClicked (juce::Button*) override;
    // The state machine; message thread, or the watcher holding the message-manager lock.
    void handleEvent (int event);
    // Ends the modal state of the enclosing dialog window with the result.
    void closeWithResult (int result);

    int getState() const { return state; }
    int getDisplayedProgress() const { return displayedProgress; }
    int getPage() const { return pageIndicator.getPage(); }
    juce::Label& getHeadline() { return headline; }
    juce::Label& getBody() { return body; }
    juce::Button& getCancelButton() { return cancelButton; }
    juce::Button& getNextButton() { return nextButton; }

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    class SettleTimer : public juce::Timer
    {
    public:
        explicit SettleTimer (FWUpdateWizard& ownerToTell) : owner (ownerToTell) {}
        void timerCallback() override;

    private:
        FWUpdateWizard& owner;
    };

    void run() override;
    // Runs the call while holding the message-manager lock; false when this thread was asked to
    // exit before it got the lock.
    template <typename Call> bool withMessageLock (Call&& call);
    void watch();
    // The amplifier's answer after it came back: its revision (0 when it did not answer) and the
    // watcher ticks that the question took.
    void confirmUpdate (juce::uint32 revision, int ticksSpent);
    void awaitUpdateModeAfterFailure();
    void showTexts (int textState);
    void goTo (int newState, int page, const juce::String& nextText, bool nextEnabled);
    void enterReadyToUpdate();
    void startUpdate();
    void timedOut();
    // Whether the current product's image is made for it: every message carries its model byte.
    bool imageSuitsAmplifier() const;

    VantorelCom& link;
    const Timing timing;

    // The message thread, or the watcher holding the message-manager lock.
    int state = required;
    int displayedProgress = 0;
    juce::uint8 tickCounter = 0;
    // What the amplifier must report to have taken the stream: set when the stream is requested.
    juce::uint8 streamedModelId = 0;
    juce::uint32 streamedRevision = 0;
    // Set by watch() when the amplifier is back and is to be asked for its revision; the watcher
    // thread only.
    bool revisionWanted = false;

    juce::Rectangle<int> footer, badge, pageArea, progressBar;
    juce::Label headline{ "Headline" }, body{ "Text" };
    iosButton cancelButton{ "Cancel" }, nextButton{ "Next" };
    PageIndicator pageIndicator;
    SettleTimer settleTimer{ *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FWUpdateWizard)
};
