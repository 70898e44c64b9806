#include "shell/DiagramView.h"
#include "document/PresetLibrary.h"

namespace
{
// Applications from before the families were told apart carry no model; their
// devices were all of this family.
const juce::String defaultModel ("ZELTA M");
} // namespace

int DiagramView::showFamilyMenu (juce::Component& addButton)
{
    juce::PopupMenu menu;
    for (int id = 0; id < DeviceFamily::numFamilies; ++id)
        menu.addItem (id + 1, DeviceFamily::fromId (id).name);

    return menu.showMenu (juce::PopupMenu::Options().withTargetComponent (&addButton));
}

DiagramView::DiagramView (juce::XmlElement& applicationElement, const PresetLibrary& presetLibrary,
                          juce::uint8 viewFlags, bool& descriptionShownState,
                          UserInteraction& userInteraction, FamilyMenu menu)
    : application (applicationElement), presets (presetLibrary), flags (viewFlags),
      descriptionShown (descriptionShownState), interaction (userInteraction), familyMenu (std::move (menu)),
      descriptionView (applicationElement)
{
    // Takes the focus on a click, so that the Delete key reaches it.
    setWantsKeyboardFocus (true);

    int number = 1;
    for (auto* device : application.getChildWithTagNameIterator ("Device"))
    {
        if (device->getStringAttribute ("model").isEmpty())
            device->setAttribute ("model", defaultModel);

        const auto family = DeviceFamily::fromName (device->getStringAttribute ("model"));
        if (family.name.isEmpty())
            continue; // stays in the document as it is, without a box

        if (device->getChildByName ("CORVADINE") == nullptr)
            if (auto* deviceTemplate = presets.getElement (family.id))
                if (auto* settings = deviceTemplate->getChildByName ("CORVADINE"))
                    device->addChildElement (new juce::XmlElement (*settings));

        createDevice (number++, *device, family);
    }

    // Only the look: the owner's first selectDevice completes the selection and tells the listeners.
    if (!devices.isEmpty())
        devices.getFirst()->setSelected (true);

    const auto showAddDelete = (flags & addDeleteButtonsFlag) != 0;
    addChildComponent (addButton);
    addChildComponent (deleteButton);
    addButton.setVisible (showAddDelete);
    deleteButton.setVisible (showAddDelete);
    addButton.addListener (this);
    deleteButton.addListener (this);
    addButton.addShortcut (juce::KeyPress::createFromDescription ("CTRL + N"));
    deleteButton.addShortcut (juce::KeyPress::createFromDescription ("CTRL + D"));

    addChildComponent (descriptionView);
    descriptionView.setVisible (descriptionShown);

    addAndMakeVisible (infoButton);
    infoButton.addListener (this);
    infoButton.setToggleState (descriptionShown, juce::dontSendNotification);

    updateLayout();
}

DiagramView::~DiagramView()
{
    for (auto* device : devices)
        device->removeChangeListener (this);
}

DiagramDevice* DiagramView::createDevice (int number, juce::XmlElement& device, const DeviceFamily& family)
{
    auto* box = devices.add (
        new DiagramDevice (number, device, (flags & editableLabelsFlag) != 0, family, interaction));
    addAndMakeVisible (box);
    box->addChangeListener (this);
    box->onReadbackRequested = [this] (DiagramDevice& requester)
    { listeners.call ([this, &requester] (Listener& l) { l.deviceReadbackRequested (*this, requester); }); };
    box->onPadlockChanged = [this] (DiagramDevice& switched)
    { listeners.call ([this, &switched] (Listener& l) { l.devicePadlockChanged (*this, switched); }); };
    contentWidth = juce::jmax (contentWidth, box->getWidth());
    return box;
}

void DiagramView::selectDevice (int index, bool force)
{
    if (auto* previous = getSelectedDevice())
    {
        previous->getSettingsButton().clearShortcuts();
        previous->getPasswordButton().clearShortcuts();
        previous->getSettingsButton().setEnabled (false);
    }

    for (auto* device : devices)
        device->setSelected (false);

    if (auto* next = devices[index])
    {
        next->setSelected (true);
        next->getSettingsButton().addShortcut (juce::KeyPress::createFromDescription ("CTRL + G"));
        next->getPasswordButton().addShortcut (juce::KeyPress::createFromDescription ("CTRL + L"));
        next->getSettingsButton().setEnabled (true);
    }

    if (index != selectedIndex || force)
    {
        selectedIndex = index;
        listeners.call ([this] (Listener& listener) { listener.diagramSelectionChanged (*this); });
    }
}

DiagramDevice* DiagramView::getSelectedDevice() const
{
    for (auto* device : devices)
        if (device->isSelected())
            return device;

    return nullptr;
}

juce::XmlElement* DiagramView::getSelectedDeviceXml() const
{
    if (auto* device = getSelectedDevice())
        return &device->getDeviceElement();

    return nullptr;
}

bool DiagramView::hasChanges()
{
    for (auto* device : devices)
        if (device->hasChanged())
            return true;

    return std::exchange (changed, false);
}

void DiagramView::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void DiagramView::buttonClicked (juce::Button* button)
{
    if (button == &addButton)
    {
        addDevice();
    }
    else if (button == &deleteButton)
    {
        deleteSelectedDevice();
    }
    else if (button == &infoButton)
    {
        descriptionShown = infoButton.getToggleState();
        descriptionView.setVisible (descriptionShown);
        updateLayout();
    }
}

void DiagramView::addDevice()
{
    const auto familyIndex = familyMenu ? familyMenu (addButton) - 1 : -1;
    if (!DeviceFamily::isValidId (familyIndex))
        return;

    const auto* deviceTemplate = presets.getElement (familyIndex);
    if (deviceTemplate == nullptr)
        return;

    auto* device = new juce::XmlElement (*deviceTemplate);
    application.addChildElement (device);

    createDevice (devices.size() + 1, *device, DeviceFamily::fromId (familyIndex));
    changed = true;
    selectDevice (devices.size() - 1, false);

    updateLayout();
}

void DiagramView::deleteSelectedDevice()
{
    if (devices.size() < 2)
        return; // the last device stays

    auto* box = getSelectedDevice();
    if (box == nullptr)
        return;

    if (!interaction.askOkCancel (UserInteraction::Icon::question, "Delete",
                                  "Do you want to delete the selected device?"))
        return;

    const auto index = devices.indexOf (box);

    box->removeChangeListener (this);
    changed = true;
    removeChildComponent (box);

    // The element leaves the document at once but is deleted only after the
    // listeners have rebuilt whatever still pointed into it.
    std::unique_ptr<juce::XmlElement> removedElement (&box->getDeviceElement());
    application.removeChildElement (removedElement.get(), false);
    devices.remove (index);

    for (int i = 0; i < devices.size(); ++i)
        devices[i]->setDeviceNumber (i + 1);

    selectDevice (juce::jmax (0, index - 1), true);
    removedElement.reset();

    updateLayout();
}

void DiagramView::mouseUp (const juce::MouseEvent& event)
{
    const auto position = event.getMouseDownPosition();

    for (int i = 0; i < devices.size(); ++i)
    {
        if (devices[i]->getBounds().contains (position))
        {
            selectDevice (i, false);
            return;
        }
    }
}

bool DiagramView::keyPressed (const juce::KeyPress& key)
{
    if (key == juce::KeyPress (juce::KeyPress::deleteKey))
    {
        deleteSelectedDevice();
        return true;
    }

    return false;
}

void DiagramView::changeListenerCallback (juce::ChangeBroadcaster*)
{
    // A box's element was replaced: the pages must be built again from it.
    selectDevice (selectedIndex, true);
}

void DiagramView::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
}

void DiagramView::resized()
{
    const auto pitch = devices.isEmpty() ? 0 : devices.getFirst()->getHeight();
    for (int i = 0; i < devices.size(); ++i)
        devices[i]->setTopLeftPosition (0, i * pitch);

    if ((flags & addDeleteButtonsFlag) != 0)
    {
        addButton.setBounds (10, contentHeight + 10, toolButtonSize, toolButtonSize);
        deleteButton.setBounds (40, contentHeight + 10, toolButtonSize, toolButtonSize);
    }

    infoButton.setBounds (getWidth() - 30, 10, toolButtonSize, toolButtonSize);
}

void DiagramView::updateLayout()
{
    contentHeight = 0;
    for (auto* device : devices)
    {
        contentHeight += device->getHeight();
        contentWidth = juce::jmax (contentWidth, device->getWidth());
    }

    descriptionView.setTopLeftPosition (10, 10);
    descriptionView.fitToWidth (contentWidth - 20);

    auto height = contentHeight + ((flags & addDeleteButtonsFlag) != 0 ? bottomMargin : 0);
    height = juce::jmax (height, descriptionView.getBottom() + 5);

    // The buttons follow the column even when the description panel keeps the size as it was.
    if (getWidth() == contentWidth && getHeight() == height)
        resized();
    else
        setSize (contentWidth, height);
}
