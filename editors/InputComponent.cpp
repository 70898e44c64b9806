#include "editors/InputComponent.h"

#include "document/SettingsDocument.h"
#include "platform/UserInteraction.h"
#include "look/ColourScheme.h"

namespace
{
constexpr int inputPresetCategory = 3;
} // namespace

InputComponent::InputComponent (juce::XmlElement& device, const PresetLibrary& library,
                                const DeviceFamily& familyRow, UserInteraction& userToAsk,
                                const juce::File& documentsFolder)
    : SetupComponent (&device, &library, familyRow),
      eqDialog (library, EQDialog::inputMode, userToAsk, documentsFolder), user (userToAsk)
{
    addHeading (heading);

    applyColourScheme (look);
    presetList = library.getList (inputPresetCategory);

    // Without a settings document a choice could go nowhere: the page only shows.
    const bool editable = getSettings() != nullptr;

    for (int i = 0; i < juce::jmin (family.inputs, maxInputs); ++i)
    {
        auto* box = comboBoxes.add (new juce::ComboBox());
        box->setLookAndFeel (&look);
        addPresetItems (*box, presetList, customId);
        box->setEnabled (editable);
        box->addListener (this);
        addAndMakeVisible (box);

        auto* label = labels.add (new juce::Label ({}, "IN" + juce::String (i + 1)));
        label->setFont (juce::Font (19.0f, juce::Font::bold));
        label->setJustificationType (juce::Justification::centredLeft);
        label->setColour (juce::Label::textColourId, juce::Colours::black);
        label->attachToComponent (box, true);
        addAndMakeVisible (label);
    }

    state = findOrCreatePageState ("InputSelection");

    // Shown as stored, telling no one: looking at a device must not write into it.
    for (int i = 0; i < comboBoxes.size(); ++i)
    {
        const auto* stored = findChildById (*state, "ComboBox", i);
        showStoredSelection (*comboBoxes[i], stored, customId);

        if (stored != nullptr && stored->getIntAttribute ("SelId", 0) == customId)
            customChosen[i] = customId;
    }

    takeSnapshot (state);
    eqDialog.setSize (330, 400);
}

bool InputComponent::isModified()
{
    return differsFromSnapshot (state);
}

bool InputComponent::consumeChangeFlag()
{
    bool result = changed;

    // While the dialog is open the document follows the curve.
    if (eqDialog.isShownModally() && eqDialog.consumeChangeFlag())
    {
        writeDialogBands (editIndex);
        result = true;
    }

    changed = false;
    return result;
}

void InputComponent::comboBoxChanged (juce::ComboBox* box)
{
    const int input = comboBoxes.indexOf (box);
    if (input < 0)
        return;

    const int selectedId = box->getSelectedId();

    if (selectedId == customId)
        editCustomEq (input);
    else if (selectedId > 0)
        choosePreset (input, selectedId);

    changed = true;
}

void InputComponent::choosePreset (int input, int presetId)
{
    const auto* preset = findPresetById (presetList, presetId);

    if (preset == nullptr || getSettings() == nullptr)
    {
        showStoredSelection (*comboBoxes[input], findChildById (*state, "ComboBox", input), customId);
        return;
    }

    storeSelection (input, comboBoxes[input]->getText(), presetId);
    mergePresetIntoChannel (*element, *preset, input);
}

void InputComponent::editCustomEq (int input)
{
    auto* settings = getSettings();
    auto& box = *comboBoxes[input];

    if (settings == nullptr)
    {
        showStoredSelection (box, findChildById (*state, "ComboBox", input), customId);
        return;
    }

    const bool wasCustom = customChosen[input] == customId;
    const auto* eqElement = findChildById (*settings, "EFFECT", eqEffectId (input));
    auto backup = eqElement != nullptr ? std::make_unique<juce::XmlElement> (*eqElement) : nullptr;

    editIndex = input;
    eqDialog.consumeChangeFlag();

    if (wasCustom && eqElement != nullptr)
        eqDialog.setBands (eqElement, 0);
    else
        eqDialog.selectFirstFactoryPreset();

    const int result = user.runDialog (eqDialog, "Custom EQ Settings");

    if (result != 0)
    {
        auto text = eqDialog.getPresetText();
        if (text.isEmpty())
            text = "Custom";

        showTextWithoutSelection (box, text);
        storeSelection (input, text, customId);
        writeDialogBands (input);
    }
    else
    {
        // Cancel leaves the input as it was before the dialog opened.
        replaceEffect (*settings, eqEffectId (input), std::move (backup));
        showStoredSelection (box, findChildById (*state, "ComboBox", input), customId);
    }

    customChosen[input] = customId;
}

void InputComponent::writeDialogBands (int input)
{
    if (auto* settings = getSettings())
        replaceEffectForChannel (*settings, eqEffectId (input), eqDialog.writeBandParameters(), input);
}

void InputComponent::storeSelection (int input, const juce::String& text, int selectedId)
{
    storeWidget (*state, "ComboBox", input, text, &selectedId);
}

void InputComponent::resized()
{
    heading.setBounds (leftMargin, top, getWidth() - 2 * leftMargin, (int)heading.getFont().getHeight());

    for (int i = 0; i < comboBoxes.size(); ++i)
        comboBoxes[i]->setBounds (getWidth() - comboWidth - leftMargin,
                                  top + (rowGap + rowHeight + 1) * (i + 1), comboWidth, rowHeight);
}

void InputComponent::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.drawHorizontalLine (0, 0.0f, (float)getWidth());
}
