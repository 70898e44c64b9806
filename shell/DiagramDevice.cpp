#include "shell/DiagramDevice.h"
#include "document/SettingsDocument.h"
#include "look/ColourScheme.h"

namespace
{
const juce::String notConnected ("NC");
const juce::Colour greyText (0xff808080);
const juce::Colour silver (0xffc0c0c0);
const juce::Colour badgeColour (0xffc7c7c7);
const juce::Colour syncColour (0xffffa500);

const char* const inputNames[] = { "IN1", "IN2", "IN3", "IN4" };
const char* const outputNames[] = { "SPK1", "SPK2", "OUT3", "OUT4" };
const char* const gpiNames[] = { "GPI1", "GPI2" };
const char* const gpoNames[] = { "GPO" };

// The drawn body of the amplifier; pins, stubs and labels are placed around it.
const juce::Rectangle<float> bodyBounds (125.0f, 41.0f, 150.0f, 150.0f);
constexpr float bodyCorner = 10.0f;
constexpr int pinPitch = 20;

// Families never have more pins than there are names; a wrong table must not read past them.
template <size_t N> int clampedCount (int count, const char* const (&)[N])
{
    return juce::jlimit (0, (int)N, count);
}
} // namespace

DiagramDevice::DiagramDevice (int number, juce::XmlElement& deviceElement, bool labelsEditable,
                              const DeviceFamily& deviceFamily, UserInteraction& userInteraction)
    : juce::Component ("DiagramDevice"), deviceNumber (number), editable (labelsEditable),
      family (deviceFamily), device (deviceElement), interaction (userInteraction)
{
    // Clicks on the body go through to the diagram, which selects the box.
    setInterceptsMouseClicks (false, true);

    initialisePinLabels (inputLabels, clampedCount (family.inputs, inputNames), "inLabel",
                         juce::Justification::centredRight);
    initialisePinLabels (outputLabels, clampedCount (family.outputs, outputNames), "outLabel",
                         juce::Justification::centredLeft);
    initialisePinLabels (gpiLabels, clampedCount (family.gpis, gpiNames), "gpiLabel",
                         juce::Justification::centredRight);
    initialisePinLabels (gpoLabels, clampedCount (family.gpos, gpoNames), "gpoLabel",
                         juce::Justification::centredLeft);

    ampLabel.setFont (juce::Font (18.0f, juce::Font::bold));
    ampLabel.setJustificationType (juce::Justification::centredLeft);
    configureEditableLabel (ampLabel);
    addAndMakeVisible (ampLabel);

    numberLabel.setText (juce::String (deviceNumber), juce::dontSendNotification);
    numberLabel.setFont (juce::Font (30.0f, juce::Font::bold));
    numberLabel.setJustificationType (juce::Justification::centred);
    numberLabel.setMinimumHorizontalScale (0.5f);
    numberLabel.setEditable (false, false, false);
    numberLabel.setColour (juce::Label::textColourId, juce::Colours::white);
    numberLabel.setColour (juce::Label::textWhenEditingColourId, juce::Colours::black);
    numberLabel.setColour (juce::Label::backgroundWhenEditingColourId, juce::Colours::transparentWhite);
    numberLabel.setInterceptsMouseClicks (false, false);
    addAndMakeVisible (numberLabel);

    loadLabelsFromDevice();

    addAndMakeVisible (getSettingsButtonComponent);
    addAndMakeVisible (passwordButton);
    getSettingsButtonComponent.addListener (this);
    passwordButton.addListener (this);

    addChildComponent (syncAnim);
    syncAnim.setAnimating (true);

    setSize (boxWidth, boxHeight);

    passwordComponent.addActionListener (this);
    passwordComponent.addListener (this);
    passwordComponent.setHeading ("Enter password");
}

DiagramDevice::~DiagramDevice()
{
    passwordComponent.removeActionListener (this);
    passwordComponent.removeListener (this);
    passwordDialog.reset();
}

void DiagramDevice::initialisePinLabels (juce::OwnedArray<juce::Label>& labels, int count,
                                         const char* namePrefix, juce::Justification justification)
{
    for (int i = 0; i < count; ++i)
    {
        auto* label = labels.add (new juce::Label (namePrefix + juce::String (i), notConnected));
        label->setFont (juce::Font (16.0f, juce::Font::plain));
        label->setJustificationType (justification);
        label->setColour (juce::Label::textColourId, greyText);
        configureEditableLabel (*label);
        addAndMakeVisible (label);
    }
}

void DiagramDevice::configureEditableLabel (juce::Label& label)
{
    // One click starts editing; leaving the field keeps what was typed.
    label.setEditable (editable, false, false);
    label.setColour (juce::Label::textWhenEditingColourId, juce::Colours::black);
    label.setColour (juce::Label::backgroundWhenEditingColourId, juce::Colours::transparentWhite);
    label.addListener (this);
}

void DiagramDevice::setSelected (bool shouldBeSelected)
{
    selected = shouldBeSelected;
    repaint();
}

void DiagramDevice::setSyncMarked (bool shouldBeMarked)
{
    syncMarked = shouldBeMarked;
    repaint();
}

void DiagramDevice::setDeviceNumber (int number)
{
    deviceNumber = number;
    numberLabel.setText (juce::String (number), juce::dontSendNotification);
    repaint();
}

void DiagramDevice::setSyncAnimVisible (bool shouldBeVisible)
{
    syncAnim.setVisible (shouldBeVisible);
}

void DiagramDevice::clearPadlock()
{
    passwordButton.setToggleState (false, juce::dontSendNotification);
}

void DiagramDevice::takeOverReadSettings (const juce::XmlElement& readDevice)
{
    changed = true;
    // Locked settings show the padlock on, so that the next Program keeps them locked.
    passwordButton.setToggleState (readDevice.getChildByName ("Password") != nullptr,
                                   juce::dontSendNotification);

    // An amplifier that holds settings but no application part gives neither name nor model.
    // Without its model the device would open as another family than the settings are for; the
    // readback only reads an amplifier of this box's family, so the box's own two are right.
    juce::XmlElement taken (readDevice);
    for (auto* attribute : { "name", "model" })
        if (!taken.hasAttribute (attribute) && device.hasAttribute (attribute))
            taken.setAttribute (attribute, device.getStringAttribute (attribute));

    replaceElement (taken);
}

void DiagramDevice::resetToTemplate (const juce::XmlElement& deviceTemplate)
{
    replaceElement (deviceTemplate);
}

void DiagramDevice::replaceElement (const juce::XmlElement& source)
{
    device = source;
    loadLabelsFromDevice();
    sendSynchronousChangeMessage();
}

void DiagramDevice::readSettingsBack()
{
    if (onReadbackRequested)
        onReadbackRequested (*this);
}

void DiagramDevice::loadLabelsFromDevice()
{
    ampLabel.setText (device.getStringAttribute ("name", "Zelta"), juce::dontSendNotification);

    loadPinLabels ("Input", inputLabels);
    loadPinLabels ("Output", outputLabels);
    loadPinLabels ("GPI", gpiLabels);
    loadPinLabels ("GPO", gpoLabels);
}

void DiagramDevice::loadPinLabels (const char* tag, juce::OwnedArray<juce::Label>& labels)
{
    // Ids that name no pin of this family stay in the element untouched.
    for (auto* child : device.getChildWithTagNameIterator (tag))
    {
        const auto index = child->getIntAttribute ("id", 0);
        if (juce::isPositiveAndBelow (index, labels.size()))
            labels[index]->setText (child->getStringAttribute ("label", notConnected),
                                    juce::dontSendNotification);
    }
}

void DiagramDevice::labelTextChanged (juce::Label* label)
{
    changed = true;

    auto text = label->getText();
    if (text.length() > maxLabelLength)
    {
        text = text.substring (0, maxLabelLength);
        label->setText (text, juce::dontSendNotification);
    }

    if (label == &ampLabel)
    {
        device.setAttribute ("name", text);
        return;
    }

    if (text.isEmpty())
    {
        text = notConnected;
        label->setText (text, juce::dontSendNotification);
    }

    label->setColour (juce::Label::textColourId, text == notConnected ? greyText : juce::Colours::black);

    const std::pair<const char*, juce::OwnedArray<juce::Label>*> pins[] = {
        { "Input", &inputLabels }, { "Output", &outputLabels }, { "GPI", &gpiLabels }, { "GPO", &gpoLabels }
    };

    for (const auto& [tag, labels] : pins)
    {
        const auto index = labels->indexOf (label);
        if (index >= 0)
        {
            writeLabelToDevice (tag, text, index);
            return;
        }
    }
}

void DiagramDevice::writeLabelToDevice (const char* tag, const juce::String& text, int index)
{
    auto* pin = findChildById (device, tag, index);

    if (pin == nullptr)
    {
        pin = device.createNewChildElement (tag);
        pin->setAttribute ("id", index);
        pin->setAttribute ("label", text);
        return;
    }

    // A pin without an element reads as not connected, so "NC" needs no element.
    if (text == notConnected)
    {
        device.removeChildElement (pin, true);
        return;
    }

    pin->setAttribute ("label", text);
}

void DiagramDevice::buttonClicked (juce::Button* button)
{
    // CTRL + G belongs to the selected box; an unselected box's button does nothing.
    if (button == &getSettingsButtonComponent && selected)
        readSettingsBack();
    else if (button == &passwordButton && onPadlockChanged)
        onPadlockChanged (*this);
}

juce::DialogWindow& DiagramDevice::getPasswordDialog()
{
    if (passwordDialog == nullptr)
        passwordDialog = passwordComponent.createHiddenDialog ("Enter password");

    return *passwordDialog;
}

std::optional<juce::String> DiagramDevice::askPassword()
{
    return passwordComponent.runDialog (getPasswordDialog());
}

void DiagramDevice::closePasswordDialog()
{
    // As the dialog's close button would: hiding it ends a modal wait on it.
    if (passwordDialog != nullptr)
        passwordDialog->closeButtonPressed();
}

void DiagramDevice::actionListenerCallback (const juce::String& message)
{
    lastPasswordText = message;
    passwordCancelled = false;

    if (message.isEmpty())
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Error", "Please provide a password");
        return;
    }

    closePasswordDialog();
}

void DiagramDevice::passwordEntryCancelled (PasswordComponent&)
{
    // The password component keeps Escape to itself, so the dialog is closed here.
    lastPasswordText = {};
    passwordCancelled = true;
    closePasswordDialog();
}

void DiagramDevice::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    juce::Path body;
    body.addRoundedRectangle (bodyBounds, bodyCorner);
    juce::DropShadow (greyText, 10, { 5, 5 }).drawForPath (g, body);
    g.setColour (juce::Colours::white);
    g.fillPath (body);

    const auto drawPinNames =
        [&g] (const juce::OwnedArray<juce::Label>& labels, const char* const* names, int x, int top)
    {
        for (int i = 0; i < labels.size(); ++i)
            g.drawText (names[i], x, top + pinPitch * i, 84, 30, juce::Justification::centred, true);
    };

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font (16.0f, juce::Font::plain));
    drawPinNames (inputLabels, inputNames, 103, 42);
    drawPinNames (outputLabels, outputNames, 208, 42);
    drawPinNames (gpiLabels, gpiNames, 105, 132);
    drawPinNames (gpoLabels, gpoNames, 210, 132);

    g.setColour (silver);
    g.setFont (juce::Font (15.0f, juce::Font::plain));
    g.drawText ("AUDIO", 158, 103, 84, 30, juce::Justification::centred, true);
    g.drawText ("CONTROL", 158, 131, 84, 30, juce::Justification::centred, true);

    g.drawLine (125.0f, 132.0f, 275.0f, 132.0f);

    const auto drawStubs = [&g] (int count, float top, float left, float right)
    {
        for (int i = 0; i < count; ++i)
            g.drawLine (left, top + (float)(pinPitch * i), right, top + (float)(pinPitch * i));
    };

    drawStubs (inputLabels.size(), 57.0f, 110.0f, 125.0f);
    drawStubs (outputLabels.size(), 57.0f, 275.0f, 290.0f);
    drawStubs (gpiLabels.size(), 147.0f, 110.0f, 125.0f);
    drawStubs (gpoLabels.size(), 147.0f, 275.0f, 290.0f);

    g.setColour (badgeColour);
    g.fillRoundedRectangle (183.0f, 58.0f, 35.0f, 34.0f, 8.0f);

    const auto outline = !selected ? silver : (syncMarked ? syncColour : findColour (accentColourId));
    g.setColour (outline);
    g.drawRoundedRectangle (bodyBounds, bodyCorner, 4.0f);

    g.setFont (juce::Font (14.0f, juce::Font::plain));
    g.drawText (family.name, 190, 170, 78, 16, juce::Justification::right, false);
}

void DiagramDevice::resized()
{
    for (int i = 0; i < inputLabels.size(); ++i)
        inputLabels[i]->setBounds (8, 45 + pinPitch * i, 96, 24);

    for (int i = 0; i < outputLabels.size(); ++i)
        outputLabels[i]->setBounds (292, 45 + pinPitch * i, 96, 24);

    for (int i = 0; i < gpiLabels.size(); ++i)
        gpiLabels[i]->setBounds (8, 135 + pinPitch * i, 96, 24);

    for (int i = 0; i < gpoLabels.size(); ++i)
        gpoLabels[i]->setBounds (292, 135 + pinPitch * i, 96, 24);

    ampLabel.setBounds (126, 15, 150, 24);
    numberLabel.setBounds (182, 62, 36, 24);
    syncAnim.setBounds (185, 155, 30, 30);
    getSettingsButtonComponent.setBounds (325, 172, 21, 21);
    passwordButton.setBounds (296, 172, 21, 21);
}
