#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

#include "link/VantorelCom.h"
#include "shell/AddButton.h"
#include "shell/DeleteButton.h"
#include "shell/DescriptionView.h"
#include "shell/DiagramDevice.h"
#include "shell/InfoButton.h"
#include "platform/UserInteraction.h"

class PresetLibrary;

// The devices of the open application as a column of device boxes, one per
// Device element, with the Add and Delete buttons under the column and the
// Info button that shows the description panel over it. One box at a time is
// the selected device, whose settings the setup pages edit.
class DiagramView : public juce::Component, public juce::Button::Listener, public juce::ChangeListener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // The selected device changed, or its element was replaced and the
        // selection made again.
        virtual void diagramSelectionChanged (DiagramView&) {}
        // The selected box's get-settings button was pressed.
        virtual void deviceReadbackRequested (DiagramView&, DiagramDevice&) {}
        // The user switched a box's padlock.
        virtual void devicePadlockChanged (DiagramView&, DiagramDevice&) {}
    };

    // Bits of the flags given at construction.
    static constexpr juce::uint8 editableLabelsFlag = 0x01;
    static constexpr juce::uint8 addDeleteButtonsFlag = 0x02;

    // Shows the family menu attached to the Add button; gives the chosen item's
    // result (1 "ZELTA", 2 "ZELTA M", 3 "ZELTA 70") or 0 when it was dismissed.
    using FamilyMenu = std::function<int (juce::Component& addButton)>;
    static int showFamilyMenu (juce::Component& addButton);

    // `application`, `presets`, `interaction` and `descriptionShown` belong to the
    // owner and must outlive the view. `descriptionShown` is the state of the Info
    // toggle; the owner keeps it across diagrams so that the description panel
    // stays shown or hidden when the next application is opened.
    DiagramView (juce::XmlElement& application, const PresetLibrary& presets, juce::uint8 flags,
                 bool& descriptionShown, UserInteraction& interaction,
                 FamilyMenu familyMenu = showFamilyMenu);
    ~DiagramView() override;

    // Moves the selection (and the CTRL + G and CTRL + L shortcuts) to the box at
    // `index`; an index outside the boxes selects none. Listeners are told when
    // the index changed or `force` is set.
    void selectDevice (int index, bool force);

    DiagramDevice* getSelectedDevice() const;
    juce::XmlElement* getSelectedDeviceXml() const;
    // -1 until the first selectDevice.
    int getSelectedIndex() const { return selectedIndex; }

    int getNumDevices() const { return devices.size(); }
    DiagramDevice* getDevice (int index) const { return devices[index]; }

    // True while any box holds label edits. Otherwise reports, once, whether a
    // device was added or deleted since the last call.
    bool hasChanges();

    // Null and already registered listeners are ignored.
    void addListener (Listener* listener);

    juce::Button& getAddButton() { return addButton; }
    juce::Button& getDeleteButton() { return deleteButton; }
    juce::Button& getInfoButton() { return infoButton; }
    DescriptionView& getDescriptionView() { return descriptionView; }

    void buttonClicked (juce::Button*) override;
    void mouseUp (const juce::MouseEvent&) override;
    // Only the Delete key is used here; every other key goes on to the parents,
    // so the window's shortcuts keep working while the diagram has the focus.
    bool keyPressed (const juce::KeyPress&) override;
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void paint (juce::Graphics&) override;
    void resized() override;

private:
    void addDevice();
    void deleteSelectedDevice();
    DiagramDevice* createDevice (int number, juce::XmlElement& device, const DeviceFamily& family);
    void updateLayout();

    static constexpr int bottomMargin = 40;
    static constexpr int toolButtonSize = 20;

    juce::XmlElement& application;
    const PresetLibrary& presets;
    const juce::uint8 flags;
    bool& descriptionShown;
    UserInteraction& interaction;
    FamilyMenu familyMenu;

    AddButton addButton;
    DeleteButton deleteButton;
    InfoButton infoButton;
    DescriptionView descriptionView;

    juce::SharedResourcePointer<VantorelCom> link;
    juce::OwnedArray<DiagramDevice> devices;

    int contentHeight = 0;
    int contentWidth = DiagramDevice::boxWidth;

    juce::ListenerList<Listener> listeners;
    int selectedIndex = -1;
    bool changed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DiagramView)
};
