#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "shell/DeviceTransfer.h"
#include "platform/UserInteraction.h"

#include <atomic>
#include <functional>

class DiagramDevice;
class QuobCom;

// Keeps the connected amplifier synchronised with the selected device: at each status tick with
// synchronisation on it asks the setup pages whether they changed and, when they did, sends the
// device once on the pass thread, prepared as the Program road prepares it and with the password
// key the Program road made. It also keeps the link for the message thread's own requests: while
// a LinkHold exists, no pass runs.
//
// Threads: everything but runPass() on the message thread. runPass() on the pass thread, which
// the owner provides and whose run() calls it; one pass per start, never two at once. Hand-overs:
// - the copy a pass sends: passLock (stored by the tick before the start, taken by the pass);
// - the outcome of the last pass: an atomic word, written by the pass, taken by a later tick;
// - stopping: the pass thread's exit signal, seen by the link between two frames.
class DeviceSynchroniser
{
public:
    struct Hooks
    {
        // Whether the setup pages changed since they were last asked; asking clears them.
        std::function<bool()> hasPendingChanges;
        // Switches synchronisation off, display included.
        std::function<void()> switchOff;
    };

    DeviceSynchroniser (QuobCom& link, juce::Thread& passThread, UserInteraction& interaction, Hooks hooks);
    // Stops a running pass: the link is not used after this.
    ~DeviceSynchroniser();

    // Off also forgets the password key and hides the spinner a pass showed.
    void setEnabled (bool on);
    bool isEnabled() const { return enabled; }
    // The key the Program road put into the device (empty: none); every pass sends it.
    void setPasswordKey (const juce::String& key) { passwordKey = key; }
    // The selected device's padlock was switched. A pass cannot ask for a password, so it would
    // keep the amplifier's lock as it is while the box shows another: synchronisation goes off and
    // the user is told that the padlock waits for the next Program.
    void padlockChanged();

    // The synchronisation step of a status tick in which the amplifier is connected in
    // application mode: reports a failed pass (and goes off), hides the box's spinner, and starts
    // a pass with the spinner shown when the pages changed or the last pass was stopped before it
    // ended. Nothing while a pass runs or the link is held.
    void tick (DiagramDevice* selectedBox);

    // One pass; on the pass thread.
    void runPass();

    bool isPassRunning() const { return passThread.isThreadRunning(); }
    // Asks a running pass to stop (it ends between two frames) and waits for it.
    void stopPass();

    // The link for the message thread: a running pass is stopped when the hold is taken, and no
    // pass starts until the last hold is gone.
    class LinkHold
    {
    public:
        explicit LinkHold (DeviceSynchroniser& owner);
        ~LinkHold();

    private:
        DeviceSynchroniser& owner;
        JUCE_DECLARE_NON_COPYABLE (LinkHold)
    };

private:
    QuobCom& link;
    juce::Thread& passThread;
    UserInteraction& interaction;
    const Hooks hooks;

    bool enabled = false;                                   // message thread
    juce::String passwordKey;                               // message thread
    int holds = 0;                                          // message thread
    juce::Component::SafePointer<DiagramDevice> spinnerBox; // message thread

    juce::CriticalSection passLock;
    std::unique_ptr<juce::XmlElement> passCopy; // passLock

    // None until a pass ends; taken by the tick.
    static constexpr int noOutcome = -1;
    std::atomic<int> lastOutcome{ noOutcome };

    JUCE_DECLARE_NON_COPYABLE (DeviceSynchroniser)
};
