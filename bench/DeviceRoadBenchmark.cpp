#include <benchmark/benchmark.h>

#include "document/CorvadineXmlToSyx.h"
#include "document/ProgramRevision.h"
#include "editors/MatrixComponent.h"
#include "link/ApplicationPayload.h"
#include "shell/DeviceTransfer.h"
#include "shell/MainContentComponent.h"
#include "shell/SetupArea.h"
#include "testing/emulator/AmplifierEmulator.h"
#include "testing/user/ScriptedUserInteraction.h"

#include <chrono>
#include <optional>

namespace
{
using Clock = std::chrono::steady_clock;

// Every "Programming Done" is left with synchronisation asked for; no password is asked.
struct SyncPrompts : DevicePrompts
{
    std::optional<juce::String> choosePassword() override { return std::nullopt; }
    std::optional<juce::String> enterPassword (DiagramDevice&) override { return std::nullopt; }
    bool confirmProgrammingDone() override { return true; }
};

int framesOf (const juce::MemoryBlock& block)
{
    return ((int)block.getSize() + 63) / 64;
}

// Frames of the settings block and the application part that programming this device sends.
int programmingFrames (const juce::XmlElement& device)
{
    auto prepared = DeviceTransfer::prepare (device, {});
    auto* settings = prepared->getChildByName ("CORVADINE");
    if (settings == nullptr)
        return 0;

    juce::MemoryOutputStream block;
    CorvadineXmlToSyx (*settings).convertAndWrite (block);
    prepared->removeChildElement (settings, true);
    return framesOf (block.getMemoryBlock()) +
           framesOf (createApplicationPayload (*prepared, programRevision));
}

AmplifierEmulator::Identity amplifierFor (const juce::String& family)
{
    if (family == "ZELTA")
        return { "Zelta 240/2", 0x4007, 0x4006, 5 };
    if (family == "ZELTA 70")
        return { "Zelta 240/1", 0x4011, 0x4010, 18 };
    return { "Zelta 240/2M", 0x4003, 0x4002, 119 };
}

bool runLoopUntil (const std::function<bool()>& condition, double limitSeconds = 60.0)
{
    const auto end = Clock::now() + std::chrono::duration<double> (limitSeconds);
    while (!condition())
    {
        if (Clock::now() > end)
            return false;
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
    }
    return true;
}

// Notes the longest gap between two of its callbacks: how long the message thread was busy.
struct StallMeter : juce::Timer
{
    Clock::time_point last = Clock::now();
    double longestMs = 0;

    void start()
    {
        last = Clock::now();
        longestMs = 0;
        startTimer (1);
    }

    void timerCallback() override
    {
        const auto now = Clock::now();
        longestMs = std::max (longestMs, std::chrono::duration<double, std::milli> (now - last).count());
        last = now;
    }
};

// What is clicked as soon as the amplifier is connected, while its identity is still read.
enum class OnConnection
{
    nothing,
    getSettings,
    program // "Programming Done" is left with synchronisation on
};

struct WindowOptions
{
    std::optional<AmplifierEmulator::Fault> fault;
    int faultValue = 1;
    OnConnection onConnection = OnConnection::nothing;
};

// The window's main content with an emulated amplifier of the family of the largest example
// device (the one that takes the most frames), that device opened and selected, and the link
// connected with its status shown.
struct Window
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::File documents = juce::File::getSpecialLocation (juce::File::tempDirectory)
                               .getNonexistentChildFile ("vantorel-bench", "");
    ScriptedUserInteraction user;
    SyncPrompts prompts;
    std::unique_ptr<AmplifierEmulator> emulator;
    std::unique_ptr<VantorelCom> link;
    std::unique_ptr<MainContentComponent> content;
    int expectedFrames = 0;
    juce::String error;
    // From the device's selection until the window has handled the amplifier's connection.
    StallMeter connectionStall;
    // With a click on Get settings as soon as the amplifier is connected: from the click until
    // the window answered it.
    double clickAnswerSeconds = 0;

    explicit Window (const WindowOptions& options = {})
    {
        documents.createDirectory();
        juce::SharedResourcePointer<PresetLibrary> library;
        int bestRow = -1, bestDevice = -1;
        juce::String family;

        const auto& examples = *library->getList (PresetLibrary::exampleCategory);
        for (int row = 0; row < examples.size(); ++row)
        {
            int index = 0;
            for (auto* device : examples[row]->getChildWithTagNameIterator ("Device"))
            {
                if (const int frames = programmingFrames (*device); frames > expectedFrames)
                {
                    expectedFrames = frames;
                    bestRow = row;
                    bestDevice = index;
                    // The diagram gives a device without a model the family "ZELTA M".
                    family = device->getStringAttribute ("model", "ZELTA M");
                }
                ++index;
            }
        }

        emulator = std::make_unique<AmplifierEmulator> (amplifierFor (family));
        if (options.fault.has_value())
            emulator->setFault (*options.fault, options.faultValue);
        link = std::make_unique<VantorelCom> (emulator->createUsbDevices(), emulator->createMidiPorts());

        VersionEndpoint nowhere;
        nowhere.host = "http://127.0.0.1:1";
        nowhere.servicePath = "CorvadineService.svc";
        nowhere.timeOutSeconds = 1;
        MainContentComponent::Services services{ user, documents, nowhere, link.get() };
        services.prompts = &prompts;
        content = std::make_unique<MainContentComponent> (services);

        // The examples follow the (empty) folder's files in the list.
        content->getListBox().selectRow (bestRow);
        content->getDiagram()->selectDevice (bestDevice, true);
        // The pages complete the device's page state when they are built.
        expectedFrames = programmingFrames (*content->getDiagram()->getSelectedDeviceXml());

        connectionStall.start();
        std::optional<Clock::time_point> clicked;
        const auto clickAnswered = [&]
        {
            if (options.onConnection == OnConnection::nothing)
                return true;
            if (options.onConnection == OnConnection::program && clicked.has_value())
                return true;
            if (!clicked.has_value() && link->getLinkState() == BaseCom::connected)
            {
                clicked = Clock::now();
                if (options.onConnection == OnConnection::program)
                {
                    content->buttonClicked (&content->getProgramButton());
                    return true;
                }
                clickGetSettings();
            }
            if (!clicked.has_value() || user.calls.empty())
                return false;
            clickAnswerSeconds = std::chrono::duration<double> (Clock::now() - *clicked).count();
            return true;
        };
        if (!runLoopUntil ([&] { return clickAnswered() && content->getProgramButton().isEnabled(); }))
            error = "the amplifier never became programmable, or the click was never answered";
        connectionStall.stopTimer();
    }

    ~Window()
    {
        content.reset();
        link.reset();
        documents.deleteRecursively();
    }

    int framesReceived() const { return emulator->getNumReceived (40) + emulator->getNumReceived (37); }

    void clickGetSettings()
    {
        auto& diagram = *content->getDiagram();
        content->deviceReadbackRequested (diagram, *diagram.getSelectedDevice());
    }
};

// From the Program button to "Programming Done", against the floor set by the frame pacing.
void BM_ProgramLargestExampleFromWindow (benchmark::State& state)
{
    Window window;
    if (window.error.isNotEmpty())
    {
        state.SkipWithError (window.error.toRawUTF8());
        return;
    }

    double seconds = 0;
    for (auto _ : state)
    {
        window.content->setSyncEnabled (false);
        const int framesBefore = window.framesReceived();
        const auto start = Clock::now();
        window.content->buttonClicked (&window.content->getProgramButton());
        seconds = std::chrono::duration<double> (Clock::now() - start).count();

        const int frames = window.framesReceived() - framesBefore;
        if (frames != window.expectedFrames || !window.content->isSyncEnabled())
            state.SkipWithError ("programming failed");
        state.counters["frames"] = frames;
    }

    const double floor = window.expectedFrames * 0.020;
    state.counters["seconds"] = seconds;
    state.counters["floor_seconds"] = floor;
    state.counters["over_floor_percent"] = (seconds / floor - 1.0) * 100.0;
}
BENCHMARK (BM_ProgramLargestExampleFromWindow)->Iterations (3)->UseRealTime()->Unit (benchmark::kSecond);

// With synchronisation on, a change on the MATRIX page until the amplifier has stored the block,
// through the window's own 500 ms ticks; and the longest stall of the message thread meanwhile.
// With argument 1 the amplifier answers slowly (300 ms), Program is clicked before its identity
// read has ended (synchronisation chosen), and Get settings is clicked during every pass: also
// how long each click waits for "Download settings?" (answered Cancel; the stopped pass goes out
// again).
void BM_SyncPageChangeToAmplifier (benchmark::State& state)
{
    const bool clickDuringPass = state.range (0) != 0;
    WindowOptions options;
    if (clickDuringPass)
        options = { AmplifierEmulator::Fault::replyDelayMs, 300, OnConnection::program };
    Window window (options);
    if (window.error.isNotEmpty())
    {
        state.SkipWithError (window.error.toRawUTF8());
        return;
    }

    auto& content = *window.content;
    if (!clickDuringPass)
        content.buttonClicked (&content.getProgramButton());
    auto* matrix = dynamic_cast<MatrixComponent*> (content.getSetupArea().getPage (SetupArea::matrixPage));
    if (!content.isSyncEnabled() || matrix == nullptr)
    {
        state.SkipWithError ("no synchronisation or no MATRIX page");
        return;
    }

    // Changes made while building and programming go out first: until no frame came for three ticks.
    for (int before = -1; before != window.framesReceived();)
    {
        before = window.framesReceived();
        runLoopUntil ([] { return false; }, 1.5);
    }

    StallMeter stall;
    double longestWait = 0, longestTransfer = 0, longestLatency = 0, longestStall = 0, longestAnswer = 0;
    int changes = 0;

    for (auto _ : state)
    {
        const int stored = window.emulator->getNumStoredBlocks (37);
        const int frames = window.framesReceived();
        auto& slider = matrix->getLevelSlider();
        slider.setValue (slider.getValue() == -10.0 ? -12.0 : -10.0, juce::sendNotificationSync);

        stall.start();
        const auto start = Clock::now();
        // Waiting for the tick, then the transfer.
        const bool sent = runLoopUntil ([&] { return window.framesReceived() > frames; });
        const auto firstFrame = Clock::now();
        if (sent && clickDuringPass)
        {
            const auto questions = window.user.calls.size();
            window.clickGetSettings();
            if (!runLoopUntil ([&] { return window.user.calls.size() > questions; }) ||
                window.user.calls.back().title != "Download settings?")
            {
                state.SkipWithError ("the click during the pass was not answered with its question");
                return;
            }
            longestAnswer =
                std::max (longestAnswer, std::chrono::duration<double> (Clock::now() - firstFrame).count());
        }
        if (!sent || !runLoopUntil ([&] { return window.emulator->getNumStoredBlocks (37) > stored; }))
        {
            state.SkipWithError ("the change never reached the amplifier");
            return;
        }
        const auto end = Clock::now();
        stall.stopTimer();

        longestWait = std::max (longestWait, std::chrono::duration<double> (firstFrame - start).count());
        longestTransfer =
            std::max (longestTransfer, std::chrono::duration<double> (end - firstFrame).count());
        longestLatency = std::max (longestLatency, std::chrono::duration<double> (end - start).count());
        longestStall = std::max (longestStall, stall.longestMs);
        ++changes;

        // The next change comes at another point of the tick.
        runLoopUntil ([&] { return false; }, 0.137 * changes);
    }

    state.counters["wait_for_tick_max_seconds"] = longestWait;
    state.counters["transfer_max_seconds"] = longestTransfer;
    state.counters["transfer_floor_seconds"] = window.expectedFrames * 0.020;
    state.counters["latency_max_seconds"] = longestLatency;
    state.counters["message_thread_stall_max_ms"] = longestStall;
    if (clickDuringPass)
        state.counters["click_answer_max_seconds"] = longestAnswer;
}
BENCHMARK (BM_SyncPageChangeToAmplifier)
    ->Arg (0)
    ->Arg (1)
    ->Iterations (6)
    ->UseRealTime()
    ->Unit (benchmark::kSecond);

// An amplifier that answers no request, plugged in while the window runs: the longest stall of the
// message thread until the window has given up on its revision and serial number and enabled
// Program; with argument 1, Get settings is also clicked as soon as the amplifier is connected,
// while its identity is still being read, and the click's answer is waited for too.
void BM_SilentAmplifierConnection (benchmark::State& state)
{
    const bool click = state.range (0) != 0;
    double longestStall = 0, longestAnswer = 0;
    for (auto _ : state)
    {
        Window window ({ AmplifierEmulator::Fault::noReply, 1,
                         click ? OnConnection::getSettings : OnConnection::nothing });
        if (window.error.isNotEmpty())
        {
            state.SkipWithError (window.error.toRawUTF8());
            return;
        }
        longestStall = std::max (longestStall, window.connectionStall.longestMs);
        longestAnswer = std::max (longestAnswer, window.clickAnswerSeconds);
    }

    state.counters["message_thread_stall_max_ms"] = longestStall;
    if (click)
        state.counters["click_answer_max_seconds"] = longestAnswer;
}
BENCHMARK (BM_SilentAmplifierConnection)
    ->Arg (0)
    ->Arg (1)
    ->Iterations (2)
    ->UseRealTime()
    ->Unit (benchmark::kSecond);
} // namespace
