// The main window's close request, and a quit request, while one of the program's modal windows
// is open: each window is the real one, in its real road, with an emulated amplifier.
#include "tests/shell/MainContentTestSupport.h"
#include "tests/updates/WizardTestSupport.h"

#include "editors/ControlComponent.h"
#include "editors/InputComponent.h"
#include "link/ApplicationPayload.h"
#include "platform/JuceUserInteraction.h"
#include "shell/DeviceTransfer.h"
#include "shell/PasswordKey.h"
#include "shell/VantorelApplication.h"

#include <deque>

using namespace maintest;
using namespace wizardtest;

namespace
{
constexpr juce::uint32 serialNumber = 4711;
const juce::String password = "Abc123";

// The real message boxes and dialog windows, except the close road's save offer, which is counted
// and answered "Yes", and the file chooser, which names a file of the test's folder.
class WindowUser : public JuceUserInteraction
{
public:
    int saveOffers = 0;
    juce::File fileToSave;

    bool askOkCancel (Icon icon, const juce::String& title, const juce::String& message,
                      const juce::String& okText, const juce::String& cancelText) override
    {
        if (title != "Save current application?")
            return JuceUserInteraction::askOkCancel (icon, title, message, okText, cancelText);

        ++saveOffers;
        return true;
    }

    std::optional<juce::File> chooseFileToSave (const juce::String&, const juce::File&, const juce::String&,
                                                bool) override
    {
        return fileToSave;
    }
};

// The Save dialog is the real window while realSaveDialog is set; a save started while it is
// open, or at any other time, is answered by the scripted policy without a window.
class WindowedContent : public ScriptedMainContent
{
public:
    using ScriptedMainContent::ScriptedMainContent;

    bool realSaveDialog = false;

protected:
    int runSaveDialog (SaveFileDialog& dialog) override
    {
        if (!realSaveDialog || saveDialogOpen)
            return ScriptedMainContent::runSaveDialog (dialog);

        const juce::ScopedValueSetter<bool> open (saveDialogOpen, true);
        return MainContentComponent::runSaveDialog (dialog);
    }

private:
    bool saveDialogOpen = false;
};

// The user in front of the screen: each step is tried at every tick of this timer, also from
// inside the modal loops, until it reports that it is done. A step that never gets done, or a
// window that no step answers, fails the test, and every modal window is then ended, so that
// neither can hang the run.
class UserScript : private juce::Timer
{
public:
    using Step = std::function<bool()>;

    UserScript() { startTimer (10); }
    ~UserScript() override { stopTimer(); }

    void then (Step step) { steps.push_back (std::move (step)); }
    bool isDone() const { return steps.empty(); }

private:
    void timerCallback() override
    {
        if (acting)
            return;

        const juce::ScopedValueSetter<bool> guard (acting, true);

        if (abandoned)
        {
            if (auto* modal = juce::Component::getCurrentlyModalComponent())
                modal->exitModalState (0);
            return;
        }

        while (!steps.empty() && steps.front()())
        {
            steps.pop_front();
            stepStarted = juce::Time::getMillisecondCounter();
        }

        const bool waiting = !steps.empty() || juce::Component::getCurrentlyModalComponent() != nullptr;

        if (waiting && juce::Time::getMillisecondCounter() - stepStarted > 30000)
        {
            ADD_FAILURE() << (steps.empty() ? "a window the user did not expect stayed open"
                                            : "the user's next window never came");
            steps.clear();
            abandoned = true;
        }
    }

    std::deque<Step> steps;
    juce::uint32 stepStarted = juce::Time::getMillisecondCounter();
    bool acting = false, abandoned = false;
};

juce::String windowName (juce::Component& modal)
{
    return dynamic_cast<juce::CallOutBox*> (&modal) != nullptr ? "call-out" : modal.getName();
}

template <typename Type> Type* findDeep (juce::Component& parent, std::function<bool (Type&)> wanted)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* typed = dynamic_cast<Type*> (child); typed != nullptr && wanted (*typed))
            return typed;
        if (auto* found = findDeep<Type> (*child, wanted))
            return found;
    }
    return nullptr;
}

bool click (juce::Component& window, const juce::String& text)
{
    auto* button =
        findDeep<juce::Button> (window, [&] (juce::Button& b) { return b.getButtonText() == text; });
    if (button != nullptr)
        button->triggerClick();
    return button != nullptr;
}

// Types into the focused field of the window, key by key, and presses Return.
bool typePassword (juce::Component& window)
{
    auto* field = findDeep<juce::TextEditor> (window, [] (juce::TextEditor&) { return true; });
    if (field == nullptr || !field->hasKeyboardFocus (false))
        return false;

    for (auto character : password)
        window.getPeer()->handleKeyPress (juce::KeyPress (character, {}, character));
    window.getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));
    return true;
}

class ModalWindowCloseTest;

struct ModalCase
{
    // One window the user answers.
    struct Answer
    {
        juce::String window;
        std::function<bool (juce::Component&)> act;
    };

    const char* name;
    juce::uint32 firmwareRevision;
    std::function<void (ModalWindowCloseTest&)> open;
    std::vector<Answer> answers;
    size_t closedIn; // the answer whose window gets the close request
    std::function<void (ModalWindowCloseTest&)> checkRoad;
};

class ModalWindowCloseTest : private DesktopReady,
                             public MainContentTest,
                             public ::testing::WithParamInterface<const ModalCase*>
{
public:
    ModalWindowCloseTest()
        : emulator (zelta240_2M()), link (emulator.createUsbDevices(), emulator.createMidiPorts(), timing())
    {
        emulator.setFirmwareRevision (GetParam()->firmwareRevision);
        emulator.setSerialNumber (serialNumber);
        windowUser.fileToSave = folder.getChildFile ("Saved.sapl");

        juce::XmlElement application ("Application");
        application.createNewChildElement ("Title")->addTextElement ("Amp");
        application.createNewChildElement ("SvnRevision")->addTextElement ("927");
        application.addChildElement (new juce::XmlElement (*presets->getElement (1))); // "ZELTA M"
        writeFile (folder.getChildFile ("Amp.sapl"), scrambled (application.toString()));

        MainContentComponent::Services services{ windowUser, documents, unreachableEndpoint(), &link,
                                                 [] (juce::Component&) { return 0; } };
        auto made = std::make_unique<WindowedContent> (services);
        main = made.get();
        window = std::make_unique<VantorelApplication::MainWindow> ("Vantorel", std::move (made));
    }

    static LinkTiming timing()
    {
        auto quick = quickLink();
        quick.frameSpacingMs = 1;
        return quick;
    }

    DiagramDevice& box() { return *main->getDiagram()->getSelectedDevice(); }
    SetupComponent* page (int index) { return main->getSetupArea().getPage (index); }

    // A button the user clicks as soon as it is enabled; the roads read the amplifier's revision
    // and serial number first when the status display has not yet.
    void clickWhenEnabled (juce::Button& button)
    {
        ASSERT_TRUE (pumpUntil ([&] { return button.isEnabled(); }));
        button.triggerClick();
    }

    // What the close request must leave alone.
    struct Snapshot
    {
        juce::Component::SafePointer<juce::Component> modal;
        juce::Component::SafePointer<DiagramView> diagram;
        juce::Component::SafePointer<DiagramDevice> box;
        std::vector<juce::Component::SafePointer<SetupComponent>> pages;
        const juce::XmlElement* workingCopy;
    };

    Snapshot snapshot (juce::Component& modal)
    {
        Snapshot taken{ &modal, main->getDiagram(), &box(), {}, main->getWorkingCopy() };
        for (int i = 0; i < main->getSetupArea().getNumPages(); ++i)
            taken.pages.emplace_back (page (i));
        return taken;
    }

    void expectUnchanged (const Snapshot& before)
    {
        ASSERT_NE (before.modal, nullptr) << "the modal window was deleted";
        EXPECT_TRUE (before.modal->isCurrentlyModal() && before.modal->isVisible());
        EXPECT_TRUE (before.modal->getPeer() != nullptr && before.modal->getPeer()->isFocused())
            << "the modal window is in front";
        EXPECT_EQ (windowUser.saveOffers, 0);
        EXPECT_EQ (main->getWorkingCopy(), before.workingCopy);
        ASSERT_TRUE (before.diagram != nullptr && before.box != nullptr);
        EXPECT_EQ (main->getDiagram(), before.diagram.getComponent());
        EXPECT_EQ (&box(), before.box.getComponent());
        for (size_t i = 0; i < before.pages.size(); ++i)
            EXPECT_TRUE (before.pages[i] != nullptr && page ((int)i) == before.pages[i].getComponent());
    }

    // The native title bar's close button, then a quit request of the system.
    void requestCloseAndQuit (juce::Component& modal)
    {
        const auto before = snapshot (modal);
        // The user last clicked into the main window.
        window->getPeer()->grabFocus();

        window->getPeer()->handleUserClosingWindow();
        expectUnchanged (before);

        application.systemRequestedQuit();
        EXPECT_FALSE (juce::MessageManager::getInstance()->hasStopMessageBeenSent());
        expectUnchanged (before);
    }

    AmplifierEmulator emulator;
    VantorelCom link;
    juce::SharedResourcePointer<PresetLibrary> presets;
    WindowUser windowUser;
    VantorelApplication application;
    WindowedContent* main = nullptr;
    std::unique_ptr<VantorelApplication::MainWindow> window;
};

ModalCase::Answer answerWith (const juce::String& window, const juce::String& button)
{
    return { window, [button] (juce::Component& modal) { return click (modal, button); } };
}

ModalCase::Answer typedPassword (const juce::String& window)
{
    return { window, typePassword };
}

juce::String storedPasswordKey (const juce::XmlElement* device)
{
    auto* stored = device != nullptr ? device->getChildByName ("Password") : nullptr;
    return stored != nullptr ? stored->getStringAttribute ("value") : "<none>";
}

const ModalCase cases[] = {
    { "EnterPassword",
      924,
      [] (ModalWindowCloseTest& t)
      {
          // The amplifier holds settings programmed with the padlock on.
          auto locked =
              DeviceTransfer::prepare (t.box().getDeviceElement(), makePasswordKey (password, serialNumber));
          locked->setAttribute ("name", "Locked");
          ASSERT_EQ (DeviceTransfer::send (t.link, *locked), DeviceTransfer::Outcome::sent);
          t.clickWhenEnabled (t.box().getSettingsButton());
      },
      { answerWith ("Download settings?", "OK"), typedPassword ("Enter password") },
      1,
      [] (ModalWindowCloseTest& t)
      {
          EXPECT_EQ (t.box().getDeviceElement().getStringAttribute ("name"), "Locked");
          EXPECT_EQ (storedPasswordKey (&t.box().getDeviceElement()),
                     makePasswordKey (password, serialNumber));
      } },
    { "ChoosePassword",
      924,
      [] (ModalWindowCloseTest& t)
      {
          t.box().getPasswordButton().setToggleState (true, juce::dontSendNotification);
          t.clickWhenEnabled (t.main->getProgramButton());
      },
      { typedPassword ("Choose password"), answerWith ("Programming Done", "OK") },
      0,
      [] (ModalWindowCloseTest& t)
      {
          const auto stored =
              parseApplicationPayload (t.emulator.getStoredBlock (QuobCom::applicationFrames));
          EXPECT_EQ (storedPasswordKey (stored.get()), makePasswordKey (password, serialNumber));
      } },
    { "DownloadSettings",
      924,
      [] (ModalWindowCloseTest& t) { t.clickWhenEnabled (t.box().getSettingsButton()); },
      { answerWith ("Download settings?", "Cancel") },
      0,
      nullptr },
    { "ProgrammingDone",
      924,
      [] (ModalWindowCloseTest& t) { t.clickWhenEnabled (t.main->getProgramButton()); },
      { answerWith ("Programming Done", "OK") },
      0,
      nullptr },
    { "EqDialog",
      924,
      [] (ModalWindowCloseTest& t)
      {
          auto* inputs = dynamic_cast<InputComponent*> (t.page (SetupArea::inputsPage));
          ASSERT_NE (inputs, nullptr);
          inputs->getComboBox (0).setSelectedId (InputComponent::customId);
      },
      { answerWith ("Custom EQ Settings", "Cancel") },
      0,
      nullptr },
    // The status display opens the wizard when it finds the amplifier's firmware older.
    { "FirmwareWizard",
      900,
      [] (ModalWindowCloseTest&) {},
      { answerWith ("Firmware Update", "Cancel") },
      0,
      nullptr },
    { "SaveDialog",
      924,
      [] (ModalWindowCloseTest& t)
      {
          t.main->realSaveDialog = true;
          t.main->getSaveButton().triggerClick();
      },
      { answerWith ("Save File", "Cancel") },
      0,
      nullptr },
    { "CallOut",
      924,
      [] (ModalWindowCloseTest& t)
      {
          auto* control = dynamic_cast<ControlComponent*> (t.page (SetupArea::controlPage));
          ASSERT_NE (control, nullptr);
          auto& gpi = control->getGpi (0);
          dynamic_cast<juce::ComboBox&> (*gpi.findChildWithID ("function"))
              .setSelectedId (GPIComponent::sourceSelector + 1, juce::sendNotificationSync);
          dynamic_cast<juce::Button&> (*gpi.findChildWithID ("edit1")).triggerClick();
      },
      { { "call-out",
          [] (juce::Component& box)
          {
              dynamic_cast<juce::CallOutBox&> (box).dismiss();
              return true;
          } } },
      0,
      nullptr },
};
} // namespace

TEST_P (ModalWindowCloseTest, ClosingOnlyBringsTheModalWindowToTheFrontAndTheEditsAreOfferedAfterIt)
{
    const auto& modalCase = *GetParam();

    // An unsaved edit: closing would offer to save it, and saving rebuilds the diagram and pages.
    findChild<juce::Label> (box(), "Amp label")->setText ("Renamed", juce::sendNotificationSync);

    // In front of the window before the message loop first runs: the status display may open the
    // wizard at any tick from the connection on, also inside the wait for it, whose own limit
    // cannot end a nested modal loop.
    UserScript user;
    for (size_t i = 0; i < modalCase.answers.size(); ++i)
    {
        const auto answer = modalCase.answers[i];
        const bool closeHere = i == modalCase.closedIn;
        user.then (
            [this, answer, closeHere, closed = false]() mutable
            {
                auto* modal = juce::Component::getCurrentlyModalComponent();
                if (modal == nullptr || windowName (*modal) != answer.window || modal->getPeer() == nullptr)
                    return false;

                if (closeHere && !std::exchange (closed, true))
                {
                    const juce::Component::SafePointer<juce::Component> shown (modal);
                    requestCloseAndQuit (*modal);
                    // Deleted under its own loop: that failure is recorded, and the road runs on.
                    if (shown == nullptr)
                        return true;
                }

                return answer.act (*modal);
            });
    }

    ASSERT_TRUE (pumpUntil ([&] { return link.getLinkState() == BaseCom::connected; }));
    modalCase.open (*this);
    ASSERT_TRUE (pumpUntil (
        [&] {
            return user.isDone() && juce::ModalComponentManager::getInstance()->getNumModalComponents() == 0;
        }));

    if (modalCase.checkRoad)
        modalCase.checkRoad (*this);

    // Nothing was lost: the edits are offered for saving when the window is closed now.
    main->realSaveDialog = false;
    main->savePolicy = ScriptedMainContent::SavePolicy::pressCancel;
    window->getPeer()->handleUserClosingWindow();
    EXPECT_EQ (windowUser.saveOffers, 1);
}

std::vector<const ModalCase*> everyCase()
{
    std::vector<const ModalCase*> all;
    for (const auto& modalCase : cases)
        all.push_back (&modalCase);
    return all;
}

INSTANTIATE_TEST_SUITE_P (EachModalWindow, ModalWindowCloseTest, ::testing::ValuesIn (everyCase()),
                          [] (const ::testing::TestParamInfo<const ModalCase*>& info)
                          { return std::string (info.param->name); });
