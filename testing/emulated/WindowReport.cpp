#include "testing/emulated/WindowReport.h"

#include "document/SettingsDocument.h"
#include "link/QuobCom.h"
#include "shell/DiagramDevice.h"
#include "shell/MainContentComponent.h"

namespace
{
// Often enough that a scenario sees short-lived states such as a wizard page.
constexpr int lookIntervalMs = 50;

juce::String centreOf (juce::Component& component)
{
    const auto centre = component.getScreenBounds().getCentre();
    return juce::String (centre.x) + "," + juce::String (centre.y);
}

juce::String describeButton (juce::Button& button)
{
    return button.getButtonText() + (button.isEnabled() ? " enabled" : " disabled") + " at " +
           centreOf (button);
}

// Settings read back keep every StepValue, so programmed and read-back devices compare equal.
juce::String settingsFingerprint (const juce::XmlElement& device)
{
    juce::StringArray values;
    if (auto* settings = device.getChildByName ("CORVADINE"))
        values = getStepValues (*settings);
    return juce::String (values.size()) + "/" +
           juce::String::toHexString (values.joinIntoString (",").hashCode64());
}

// Label texts and visible buttons of a window, depth first.
void describeChildren (juce::Component& parent, juce::StringArray& texts, juce::StringArray& buttons)
{
    for (auto* child : parent.getChildren())
    {
        if (!child->isVisible())
            continue;

        if (auto* label = dynamic_cast<juce::Label*> (child))
            texts.add (label->getText().replace ("\n", " | "));
        else if (auto* field = dynamic_cast<juce::TextEditor*> (child))
            buttons.add ("[field " + juce::String (field->getTotalNumChars()) + " characters at " +
                         centreOf (*field) + "]");
        else if (auto* button = dynamic_cast<juce::Button*> (child);
                 button != nullptr && button->getButtonText().isNotEmpty() && !button->getBounds().isEmpty())
            buttons.add ("[" + describeButton (*button) + "]");

        describeChildren (*child, texts, buttons);
    }
}

const char* modeName (AmplifierEmulator::Mode mode)
{
    switch (mode)
    {
        case AmplifierEmulator::Mode::application:
            return "application";
        case AmplifierEmulator::Mode::update:
            return "update";
        case AmplifierEmulator::Mode::unplugged:
            break;
    }
    return "unplugged";
}
} // namespace

WindowReport::WindowReport (MainContentComponent& contentToWatch, AmplifierEmulator& emulatorToWatch,
                            Output outputToUse)
    : content (contentToWatch), emulator (emulatorToWatch), output (std::move (outputToUse))
{
    startTimer (lookIntervalMs);
}

WindowReport::~WindowReport()
{
    stopTimer();
}

void WindowReport::timerCallback()
{
    look();
}

void WindowReport::look()
{
    report ("status", "status: " + content.getStatusLabel().getText().replace ("\n", " | "));
    report ("program", "program: " + describeButton (content.getProgramButton()));
    lookAtWindows();
    lookAtAmplifier();
    lookAtSelectedDevice();
}

void WindowReport::report (const juce::String& key, const juce::String& line)
{
    auto& last = lastLines[key];
    if (last == line)
        return;
    last = line;
    if (line.isNotEmpty())
        output (line);
}

void WindowReport::lookAtWindows()
{
    std::map<juce::String, bool> shown;

    for (int i = 0; i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i)
    {
        auto* window = juce::TopLevelWindow::getTopLevelWindow (i);
        if (window == nullptr || !window->isVisible() || window->isParentOf (&content))
            continue;

        juce::StringArray texts, buttons;
        describeChildren (*window, texts, buttons);
        texts.removeEmptyStrings();

        const auto title = window->getName();
        shown[title] = true;
        report ("window " + title, "window: " + title + ": " + texts.joinIntoString (" / ") + " " +
                                       buttons.joinIntoString (" "));
    }

    // Windows that were shown and are gone.
    for (auto& [key, line] : lastLines)
        if (key.startsWith ("window ") && line.isNotEmpty() && !shown[key.substring (7)])
        {
            output ("closed: " + key.substring (7));
            line.clear();
        }
}

void WindowReport::lookAtAmplifier()
{
    report ("mode", juce::String ("amplifier: ") + modeName (emulator.getMode()));

    const struct
    {
        juce::uint8 command;
        const char* name;
    } blocks[] = { { QuobCom::settingsFrames, "settings" }, { QuobCom::applicationFrames, "application" } };

    for (const auto& block : blocks)
    {
        const int count = emulator.getNumStoredBlocks (block.command);
        if (count > 0)
            report (block.name, juce::String ("amplifier: stored ") + block.name + " block " +
                                    juce::String (count) + ", " +
                                    juce::String ((int)emulator.getStoredBlock (block.command).getSize()) +
                                    " bytes");
    }

    const auto firmware = emulator.getFirmwareReport();
    if (firmware.completedUpdates > 0)
        report ("firmware", "amplifier: firmware update " + juce::String (firmware.completedUpdates) +
                                " complete, revision " + juce::String (emulator.getFirmwareRevision()));
}

void WindowReport::lookAtSelectedDevice()
{
    auto* diagram = content.getDiagram();
    auto* box = diagram != nullptr ? diagram->getSelectedDevice() : nullptr;
    if (box == nullptr)
    {
        report ("device", "device: none");
        return;
    }

    const auto& device = box->getDeviceElement();
    auto& padlock = box->getPasswordButton();
    auto& getSettings = box->getSettingsButton();
    auto line = "device: " + juce::String (box->getDeviceNumber()) + " \"" +
                device.getStringAttribute ("name") + "\" padlock " +
                (padlock.getToggleState() ? "on" : "off") + ", password " +
                (device.getChildByName ("Password") != nullptr ? "yes" : "no") + ", settings " +
                settingsFingerprint (device) + " [padlock at " + centreOf (padlock) + "] [get settings " +
                (getSettings.isEnabled() ? "enabled" : "disabled") + " at " + centreOf (getSettings) + "]";

    for (auto* child : box->getChildren())
        if (child->getName() == "Amp label")
            line << " [name at " << centreOf (*child) << "]";

    report ("device", line);
}
