#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "document/DeviceFamily.h"
#include "link/VantorelCom.h"
#include "shell/GetSettingsButton.h"
#include "shell/PasswordButton.h"
#include "shell/PasswordComponent.h"
#include "shell/SyncAnim.h"
#include "platform/UserInteraction.h"

#include <functional>
#include <optional>

// The box that stands for one amplifier in the device diagram: the drawn body
// with its pin names, editable labels for every pin and for the amplifier, the
// device number, the padlock and get-settings buttons and the busy spinner.
// The box edits only the labels kept in its Device element (Input, Output, GPI
// and GPO children and the "name" attribute); the element lives in the
// application document and is never deleted by the box.
class DiagramDevice : public juce::Component,
                      public juce::Label::Listener,
                      public juce::Button::Listener,
                      public juce::ChangeBroadcaster,
                      public juce::ActionListener,
                      public PasswordComponent::Listener
{
public:
    static constexpr int boxWidth = 400;
    static constexpr int boxHeight = 210;
    // Longer labels are stored cut, and the label then shows the cut text.
    static constexpr int maxLabelLength = 127;

    // `device` must outlive the box; `interaction` belongs to the owner.
    DiagramDevice (int deviceNumber, juce::XmlElement& device, bool editable, const DeviceFamily& family,
                   UserInteraction& interaction);
    ~DiagramDevice() override;

    void setSelected (bool shouldBeSelected);
    bool isSelected() const { return selected; }

    // Marks the selected box as synchronised with the amplifier (orange outline).
    void setSyncMarked (bool shouldBeMarked);
    bool isSyncMarked() const { return syncMarked; }

    void setDeviceNumber (int number);
    int getDeviceNumber() const { return deviceNumber; }

    void setSyncAnimVisible (bool shouldBeVisible);
    bool isSyncAnimVisible() const { return syncAnim.isVisible(); }

    // Set by every label edit; never cleared by reading it.
    bool hasChanged() const { return changed; }

    DeviceFamily getDeviceFamily() const { return family; }
    juce::XmlElement& getDeviceElement() const { return device; }
    PasswordButton& getPasswordButton() { return passwordButton; }
    GetSettingsButton& getSettingsButton() { return getSettingsButtonComponent; }

    // Turns the padlock off without telling anyone.
    void clearPadlock();

    // Settings read back from the amplifier replace the element whole (tag, attributes and
    // children); the padlock shows whether they carry a password, the labels follow, the changed
    // flag is set, and the change message goes out at once, so that nothing keeps pointing into
    // the old children.
    void takeOverReadSettings (const juce::XmlElement& readDevice);
    // The family's template replaces the element; the changed flag and the padlock stay.
    void resetToTemplate (const juce::XmlElement& deviceTemplate);

    // Shows the "Enter password" dialog modally: the password entered, or nothing when cancelled.
    std::optional<juce::String> askPassword();

    // Called by the get-settings button of the selected box; the diagram sets it.
    std::function<void (DiagramDevice&)> onReadbackRequested;
    // Called when the user switches the padlock; the diagram sets it.
    std::function<void (DiagramDevice&)> onPadlockChanged;

    // Shows the texts the element holds. Pins without an element keep the text
    // they show, and colours are left as they are.
    void loadLabelsFromDevice();

    void labelTextChanged (juce::Label*) override;
    void buttonClicked (juce::Button*) override;

    // A password submitted in the "Enter password" dialog.
    void actionListenerCallback (const juce::String& message) override;
    // Escape in the "Enter password" dialog.
    void passwordEntryCancelled (PasswordComponent&) override;

    void paint (juce::Graphics&) override;
    void resized() override;

protected:
    // Reads the settings back from the connected amplifier into this box's
    // element. Reached only from the selected box's get-settings button.
    virtual void readSettingsBack();

    // The hidden "Enter password" dialog. Made on first use: a window is a
    // desktop object, and most boxes never ask for a password.
    juce::DialogWindow& getPasswordDialog();

    // What the "Enter password" dialog last delivered: the text, and whether
    // it was left with Escape (the text is then empty).
    const juce::String& getLastPasswordText() const { return lastPasswordText; }
    bool wasPasswordEntryCancelled() const { return passwordCancelled; }

private:
    void initialisePinLabels (juce::OwnedArray<juce::Label>& labels, int count, const char* namePrefix,
                              juce::Justification justification);
    void configureEditableLabel (juce::Label& label);
    void loadPinLabels (const char* tag, juce::OwnedArray<juce::Label>& labels);
    void writeLabelToDevice (const char* tag, const juce::String& text, int index);
    void closePasswordDialog();
    void replaceElement (const juce::XmlElement& source);

    bool selected = false;
    bool syncMarked = false;
    int deviceNumber;
    const bool editable;
    bool changed = false;

    SyncAnim syncAnim{ juce::Colours::orange };
    const DeviceFamily family;
    juce::XmlElement& device;

    juce::OwnedArray<juce::Label> inputLabels, outputLabels, gpiLabels, gpoLabels;
    juce::Label ampLabel{ "Amp label" };
    juce::Label numberLabel{ "device number" };

    PasswordButton passwordButton;
    GetSettingsButton getSettingsButtonComponent;

    juce::SharedResourcePointer<VantorelCom> link;
    UserInteraction& interaction;

    // Declared before its window, which shows it without owning it.
    PasswordComponent passwordComponent;
    std::unique_ptr<juce::DialogWindow> passwordDialog;
    juce::String lastPasswordText;
    bool passwordCancelled = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DiagramDevice)
};
