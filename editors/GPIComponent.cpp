#include "editors/GPIComponent.h"

#include "document/SettingsDocument.h"
#include "editors/ControlSelectionMigration.h"
#include "editors/ParameterValue.h"
#include "look/ColourScheme.h"

namespace
{
constexpr int outputLevelPresetCategory = 5;
constexpr int matrixPresetCategory = 4;
constexpr int rs232PresetCategory = 7;

// Widget ids inside the GPI1/GPI2 element.
constexpr int functionComboId = 0;
constexpr int setComboId = 1;
constexpr int typeComboId = 2;
constexpr int firstVoltageId = 3;
constexpr int firstPositionComboId = 7;
constexpr int disabledKnobValue = 1025;

constexpr int closingContact = 1;
constexpr std::array<int, 4> ladderThresholds{ 871, 633, 448, 175 };
constexpr std::array<int, 4> contactThresholds{ 1023, 0, 1024, 1024 };

const char* const functionNames[] = { "No Function", "Output Level", "Source Selector",
                                      "Mute All",    "Wake",         "RS232" };

struct FunctionParameter
{
    const char* displayValue;
    int stepValue;
};
const FunctionParameter functionParameters[] = { { "No Func", 3 },  { "ADC", 0 },     { "ADC", 0 },
                                                 { "Mute All", 1 }, { "Wake Up", 2 }, { "RS232", 4 } };

const char* const inputTypeNames[] = { "Closing Contact", "2 Position Resistor Ladder",
                                       "3 Position Resistor Ladder", "4 Position Resistor Ladder" };

const juce::String
    contactHead ("Connect a closing contact between GND and GPI. It will cause the following actions "
                 "as it changes its state:\n\n\n");
const juce::String muteAllHelp (contactHead + "\t\t\tOpen: Un-mute\n\n\t\t\tClose: Mute");
const juce::String wakeHelp (contactHead + "\t\t\tOpen: Standby after 20 minutes\n\n\t\t\tClose: Wake up");
const juce::String outputLevelHelp (
    "Connect a linear potentiometer with the sliding contact (wiper) to the GPI pin and the other pins to "
    "GND "
    "and Vcc.\n\rWhen the wiper is at GND it will cause Mute, as it moves towards the opposite side (Vcc) it "
    "will reach 0 dB");
const juce::String closingContactHelp ("Connect a closing contact between GPI and GND.");
const juce::String
    rs232Help ("Connect the ZELTA RS232 dongle to the GPIO port on the back of the ZELTA to use RS232 "
               "functionality \n\n\rBoth GPI1 and GPI2 is in use when this function is enabled");

// Layout: one column 320 wide.
constexpr int marginX = 20, marginY = 12, columnRight = 320;
constexpr int controlX = 100, controlWidth = 220, rowHeight = 23;
constexpr int knobY = 130, knobSize = 39;
constexpr int knobXs[] = { 100, 159, 218, 277 };
constexpr int positionRowYs[] = { 194, 229, 264, 299 };
constexpr int functionLineY = 47, outputLevelLineY = 95, sourceSelectorLineY = 181;
} // namespace

// Hands the preset choices of the matrix steps back to the page when a call-out
// closes; does nothing once the page is gone.
class GPIComponent::MatrixCallback : public juce::ModalComponentManager::Callback
{
public:
    explicit MatrixCallback (GPIComponent& owner) : page (&owner) {}

    void modalStateFinished (int) override
    {
        if (page != nullptr)
            page->matrixCallOutClosed();
    }

private:
    juce::Component::SafePointer<GPIComponent> page;
};

GPIComponent::GPIComponent (int index, juce::XmlElement* device, const PresetLibrary* library,
                            DeviceFamily row)
    : SetupComponent (device, library, row), gpiNumber (juce::String (index + 1)), gpiIndex (index),
      outputSets (OutputSetTable::forFamily (row.id)), corvadine (getSettings()),
      matrixMod (corvadine, index,
                 library != nullptr && library->getList (matrixPresetCategory) != nullptr
                     ? library->getList (matrixPresetCategory)->getFirst()
                     : nullptr)
{
    applyColourScheme (lookAndFeel);
    setLookAndFeel (&lookAndFeel);

    addAndMakeVisible (functionCombo);
    functionCombo.addListener (this);
    for (int i = 0; i < numFunctions; ++i)
        functionCombo.addItem (functionNames[i], i + 1);

    for (auto* combo : { &sourceSetCombo, &outputSetCombo })
    {
        addAndMakeVisible (*combo);
        combo->addListener (this);
        for (int i = 0; i < outputSets.size(); ++i)
            combo->addItem (outputSets.entryName (i), i + 1);
    }
    addHelpLabel (outputLevelLabel, "OutputLevel Label", outputLevelHelp, false);
    outputSetCombo.setSelectedId (0, juce::sendNotificationAsync);

    if (library != nullptr)
    {
        outputLevelPresets = library->getList (outputLevelPresetCategory);
        rs232Presets = library->getList (rs232PresetCategory);
    }

    addAndMakeVisible (typeCombo);
    typeCombo.addListener (this);
    for (int i = 0; i < 4; ++i)
        typeCombo.addItem (inputTypeNames[i], i + 1);

    for (int n = 1; n <= positions; ++n)
        createVoltageSlider (n);

    if (library != nullptr)
        matrixPresets = collectMatrixPresets (row.inputs, row.outputs, *library);

    for (auto& combo : positionCombos)
    {
        addAndMakeVisible (combo);
        combo.addListener (this);
        for (auto* preset : matrixPresets)
            if (const auto id = preset->getIntAttribute ("Id"); id != 0 && combo.indexOfItemId (id) < 0)
                combo.addItem (preset->getStringAttribute ("Name"), id);
    }

    for (auto& button : editButtons)
    {
        addAndMakeVisible (button);
        button.addListener (this);
    }

    addHelpLabel (closingContactLabel, "OpenClosed Label", closingContactHelp, true);
    addHelpLabel (rs232Label, "RS232 Label", rs232Help, true);
    addHelpLabel (muteAllLabel, "MuteAll Label", muteAllHelp, false);
    addHelpLabel (wakeLabel, "Wake Label", wakeHelp, false);

    addVisibilityRule (outputSetCombo, outputLevel);
    addVisibilityRule (outputLevelLabel, outputLevel);
    addVisibilityRule (sourceSetCombo, sourceSelector);
    addVisibilityRule (typeCombo, sourceSelector);
    for (auto& knob : knobs)
        addVisibilityRule (knob, sourceSelector);
    for (auto& combo : positionCombos)
        addVisibilityRule (combo, sourceSelector);
    for (auto& button : editButtons)
        addVisibilityRule (button, sourceSelector);
    addVisibilityRule (muteAllLabel, muteAll);
    addVisibilityRule (wakeLabel, wake);

    // Ids through which tests and tools find the controls.
    functionCombo.setComponentID ("function");
    sourceSetCombo.setComponentID ("sourceSet");
    outputSetCombo.setComponentID ("outputSet");
    typeCombo.setComponentID ("inputType");
    for (int k = 0; k < positions; ++k)
    {
        knobs[(size_t)k].setComponentID ("knob" + juce::String (k + 1));
        positionCombos[(size_t)k].setComponentID ("position" + juce::String (k + 1));
        editButtons[(size_t)k].setComponentID ("edit" + juce::String (k + 1));
    }

    state = findOrCreateState();
    loadState();

    saveStateToDevice();
    regenerateDocument();
    applyFunctionVisibility (functionIndex);
    updateHelpTexts (functionIndex);

    // A state that had to be migrated here changed the document: it counts as
    // a change to save.
    if (!migratedOnLoad)
        takeSnapshot (state);
    if (auto* live = matrixMod.getLive())
        matrixModAtBuild = std::make_unique<juce::XmlElement> (*live);
}

GPIComponent::~GPIComponent()
{
    // The call-outs are desktop windows of their own; they go before the looks.
    callOuts.clear();
    setLookAndFeel (nullptr);
}

void GPIComponent::createVoltageSlider (int number)
{
    auto& knob = knobs[(size_t)number - 1];
    knob.setName (juce::String (number));
    knob.setSliderStyle (juce::Slider::RotaryVerticalDrag);
    knob.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    knob.setLookAndFeel (&rotaryLook);
    knob.setRange (0.0, 1023.0, 1.0);
    knob.addListener (this);
    addAndMakeVisible (knob);
}

void GPIComponent::addHelpLabel (juce::Label& label, const juce::String& name, const juce::String& text,
                                 bool hidden)
{
    label.setName (name);
    label.setText (text, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centredLeft);
    label.setColour (juce::Label::textColourId, juce::Colours::grey);
    if (hidden)
        label.setColour (juce::Label::backgroundColourId, juce::Colours::white);
    addChildComponent (label);
    label.setVisible (!hidden);
}

void GPIComponent::addVisibilityRule (juce::Component& control, int shownFunction)
{
    VisibilityRule rule{ &control, {} };
    rule.shownFor[shownFunction] = true;
    visibilityRules.add (rule);
}

//==============================================================================
juce::XmlElement* GPIComponent::findOrCreateState()
{
    auto* controlSelection = findOrCreatePageState ("ControlSelection");
    if (controlSelection == nullptr)
        return nullptr;

    const auto tag = "GPI" + gpiNumber;
    auto* found = controlSelection->getChildByName (tag);

    // A state in the legacy form has no GPI element yet: bring it into the present
    // form first, so that its settings are kept. Only while neither GPI element
    // exists, since the migration replaces every child of ControlSelection.
    if (found == nullptr && controlSelection->getChildByName ("GPI1") == nullptr &&
        controlSelection->getChildByName ("GPI2") == nullptr &&
        holdsLegacyControlSelection (*controlSelection))
    {
        migrateControlSelection (*element);
        migratedOnLoad = true;
        found = controlSelection->getChildByName (tag);
    }

    return found != nullptr ? found : controlSelection->createNewChildElement (tag);
}

int GPIComponent::storedSelId (int id, int fallback) const
{
    if (state != nullptr)
        if (auto* combo = findChildById (*state, "ComboBox", id))
            return combo->getIntAttribute ("SelId", 0);
    return fallback;
}

int GPIComponent::storedFunction() const
{
    const auto stored = storedSelId (functionComboId, 1) - 1;
    // An unknown function is none the page can show or write.
    return stored >= 0 && stored < numFunctions ? stored : (int)noFunction;
}

void GPIComponent::loadState()
{
    functionIndex = storedFunction();
    functionCombo.setSelectedId (functionIndex + 1, juce::sendNotificationAsync);

    outputSetCombo.setSelectedId (functionIndex == outputLevel ? storedSelId (setComboId, 1) : 1,
                                  juce::sendNotificationAsync);
    // ComboBox 1 holds the source set whenever the function is not Output Level
    // (see saveStateToDevice): read back the same way, a stored choice survives
    // being looked at.
    sourceSetCombo.setSelectedId (functionIndex != outputLevel ? storedSelId (setComboId, 1) : 1,
                                  juce::sendNotificationAsync);

    typeCombo.setSelectedId (storedSelId (typeComboId, 1), juce::dontSendNotification);
    setPositionCount (typeCombo.getSelectedId());

    for (int k = 0; k < positions; ++k)
    {
        auto value = ladderThresholds[(size_t)k];
        if (state != nullptr)
            if (auto* voltage = findChildById (*state, "Voltage", firstVoltageId + k))
                value = voltage->getStringAttribute ("Value").getIntValue();
        knobs[(size_t)k].setValue (value, juce::dontSendNotification);
    }

    for (int k = 0; k < positions; ++k)
    {
        auto& combo = positionCombos[(size_t)k];
        combo.setSelectedId (storedSelId (firstPositionComboId + k, 1), juce::sendNotificationAsync);
        if (combo.getSelectedId() == 0)
            combo.setText ("Custom", juce::sendNotificationAsync);
    }
}

void GPIComponent::storeComboState (int id, const juce::ComboBox& combo)
{
    const auto selected = combo.getSelectedId();
    storeWidget (*state, "ComboBox", id, combo.getText(), &selected);
}

void GPIComponent::storeVoltageState (int id, const juce::Slider& knob)
{
    // Written as the XML writer writes a double: 871 gives "871.0".
    const auto value =
        knob.isEnabled() ? juce::var (knob.getValue()).toString() : juce::String (disabledKnobValue);
    storeWidget (*state, "Voltage", id, value);
}

void GPIComponent::saveStateToDevice()
{
    if (state == nullptr)
        return;

    storeComboState (functionComboId, functionCombo);
    storeComboState (setComboId, functionIndex == outputLevel ? outputSetCombo : sourceSetCombo);
    storeComboState (typeComboId, typeCombo);
    for (int k = 0; k < positions; ++k)
        storeVoltageState (firstVoltageId + k, knobs[(size_t)k]);
    for (int k = 0; k < positions; ++k)
        storeComboState (firstPositionComboId + k, positionCombos[(size_t)k]);
}

//==============================================================================
void GPIComponent::writeGpiFunctionParameter()
{
    if (corvadine == nullptr || functionIndex < 0 || functionIndex >= numFunctions)
        return;

    if (auto* controls = corvadine->getChildByName ("CONTROLS"))
        if (auto* parameter = findChildById (*controls, "PARAMETER", gpiIndex + 1))
        {
            setParameterValue (*parameter, functionParameters[functionIndex].stepValue,
                               functionParameters[functionIndex].displayValue);
        }
}

const juce::XmlElement* GPIComponent::outputLevelPreset() const
{
    const auto entry = outputSets.fullListIndex (outputSetCombo.getSelectedItemIndex());
    return outputLevelPresets != nullptr && entry >= 0 ? (*outputLevelPresets)[entry] : nullptr;
}

const juce::XmlElement* GPIComponent::rs232Preset() const
{
    return rs232Presets != nullptr ? rs232Presets->getFirst() : nullptr;
}

void GPIComponent::writeOutputLevelModifiers (GpiModifierWriter::Mode mode, GpiModifierWriter::Result& result)
{
    if (corvadine == nullptr)
        return;

    const auto* preset = functionIndex == outputLevel ? outputLevelPreset() : nullptr;

    // Output Level without a set this family offers (a stored id its list lacks):
    // what the document holds is kept rather than guessed at.
    if (functionIndex == outputLevel && preset == nullptr)
        return;

    if (GpiModifierWriter::writeOutputLevel (*corvadine, gpiIndex, preset, mode) ==
        GpiModifierWriter::Result::noRoom)
        result = GpiModifierWriter::Result::noRoom;
}

void GPIComponent::writeRs232Modifiers (GpiModifierWriter::Mode mode, GpiModifierWriter::Result& result)
{
    // Both pages show RS232; the first writes its modifiers.
    if (corvadine == nullptr || gpiIndex != 0)
        return;

    const auto* preset = functionIndex == rs232 ? rs232Preset() : nullptr;
    if (functionIndex == rs232 && preset == nullptr)
        return;

    if (GpiModifierWriter::writeRs232 (*corvadine, preset, mode) == GpiModifierWriter::Result::noRoom)
        result = GpiModifierWriter::Result::noRoom;
}

bool GPIComponent::modifiersFit()
{
    auto result = GpiModifierWriter::Result::written;
    writeOutputLevelModifiers (GpiModifierWriter::Mode::check, result);
    writeRs232Modifiers (GpiModifierWriter::Mode::check, result);
    return result != GpiModifierWriter::Result::noRoom;
}

void GPIComponent::regenerateDocument()
{
    // A write that does not fit leaves the document as it was (see comboBoxChanged).
    auto result = GpiModifierWriter::Result::written;
    writeOutputLevelModifiers (GpiModifierWriter::Mode::apply, result);
    updateMatrixMod();
    writeRs232Modifiers (GpiModifierWriter::Mode::apply, result);
}

bool GPIComponent::matchesStoredFunction() const
{
    if (storedSelId (functionComboId, 1) != functionCombo.getSelectedId())
        return false;
    return functionIndex != outputLevel || storedSelId (setComboId, 1) == outputSetCombo.getSelectedId();
}

void GPIComponent::restoreStoredFunction()
{
    const auto stored = storedFunction();

    functionIndex = stored;
    functionCombo.setSelectedId (stored + 1, juce::dontSendNotification);
    if (stored == outputLevel)
        outputSetCombo.setSelectedId (storedSelId (setComboId, 1), juce::dontSendNotification);

    applyFunctionVisibility (functionIndex);
    updateHelpTexts (functionIndex);
    repaint();
}

//==============================================================================
void GPIComponent::updateMatrixMod()
{
    const auto change = matrixMod.update (functionIndex == sourceSelector);

    if (change == MatrixModulation::Change::removed)
        callOuts.clear(); // the editors pointed into the element just removed
    else if (change == MatrixModulation::Change::madeLive)
        buildMatrixCallOuts();

    if (matrixMod.getLive() == nullptr)
        return;

    std::array<int, positions> values{};
    std::array<bool, positions> enabled{};
    for (int k = 0; k < positions; ++k)
    {
        values[(size_t)k] = (int)knobs[(size_t)k].getValue();
        enabled[(size_t)k] = knobs[(size_t)k].isEnabled();
    }
    matrixMod.writeIntervals (values, enabled);
}

void GPIComponent::buildMatrixCallOuts()
{
    callOuts.clear();

    if (!matrixMod.ensureSteps())
        return;

    callOuts.build (matrixMod, presets, family, positionPresetIds(), callOutMask());
}

std::array<int, GPIComponent::positions> GPIComponent::positionPresetIds() const
{
    std::array<int, positions> ids{};
    for (int k = 0; k < positions; ++k)
        ids[(size_t)k] = positionCombos[(size_t)k].getSelectedId();
    return ids;
}

juce::uint8 GPIComponent::callOutMask() const
{
    return (juce::uint8) (outputSets.maskAt (sourceSetCombo.getSelectedItemIndex()) & ~otherGpiOutputMask);
}

void GPIComponent::matrixCallOutClosed()
{
    if (callOuts.exists())
        for (int k = 0; k < positions; ++k)
            positionCombos[(size_t)k].setSelectedId (callOuts.getSelectedPresetId (k),
                                                     juce::sendNotificationAsync);

    for (auto& button : editButtons)
        button.setToggleState (false, juce::dontSendNotification);
}

//==============================================================================
bool GPIComponent::isModified()
{
    if (differsFromSnapshot (state))
        return true;

    // A matrix step edited in its call-out changes no widget of the page when
    // its position already showed "Custom": the edit must still count.
    const auto* live = matrixMod.getLive();
    if (live == nullptr || matrixModAtBuild == nullptr)
        return (live == nullptr) != (matrixModAtBuild == nullptr);
    return !isSameState (*live, *matrixModAtBuild);
}

bool GPIComponent::consumeChangeFlag()
{
    if (callOuts.exists() && callOuts.consumeChangeFlags())
        changedSinceSend = true;

    const auto changed = changedSinceSend;
    changedSinceSend = false;
    return changed;
}

void GPIComponent::followOtherRs232 (bool otherIsRs232)
{
    if (otherIsRs232)
        functionCombo.setSelectedId (rs232 + 1, juce::sendNotificationAsync);
    else if (functionIndex == rs232)
        functionCombo.setSelectedId (noFunction + 1, juce::sendNotificationAsync);
}

juce::uint8 GPIComponent::getSourceSelectorInputMask() const
{
    if (functionIndex != sourceSelector)
        return 0;
    return outputSets.maskAt (sourceSetCombo.getSelectedItemIndex());
}

void GPIComponent::setOtherGpiOutputMask (juce::uint8 mask)
{
    otherGpiOutputMask = mask;

    if (functionIndex == sourceSelector)
        callOuts.applyGpiInputMask ((juce::uint8) (getSourceSelectorInputMask() & ~mask));

    const auto allOutputs = family.getOutputMask();
    if (allOutputs != 0 && mask == allOutputs)
    {
        functionCombo.setItemEnabled (sourceSelector + 1, false);
        if (functionCombo.getSelectedId() == sourceSelector + 1)
            functionCombo.setSelectedId (noFunction + 1, juce::sendNotificationAsync);
    }
    else
    {
        functionCombo.setItemEnabled (sourceSelector + 1, true);
    }

    for (int i = 0; i < sourceSetCombo.getNumItems(); ++i)
        sourceSetCombo.setItemEnabled (i + 1, (outputSets.maskAt (i) & mask) == 0);

    // The hidden choice of another function is left alone: looking must not
    // change it. It is corrected when Source Selector is chosen.
    if (functionIndex == sourceSelector)
        selectFirstFreeSourceSet (juce::sendNotificationAsync);
}

void GPIComponent::selectFirstFreeSourceSet (juce::NotificationType notification)
{
    const auto selected = sourceSetCombo.getSelectedId();
    if (selected != 0 && sourceSetCombo.isItemEnabled (selected))
        return;

    for (int i = 0; i < sourceSetCombo.getNumItems(); ++i)
        if (const auto id = sourceSetCombo.getItemId (i); sourceSetCombo.isItemEnabled (id))
        {
            sourceSetCombo.setSelectedId (id, notification);
            return;
        }
}

//==============================================================================
void GPIComponent::applyFunctionVisibility (int function)
{
    if (function < 0 || function >= numFunctions)
        return;
    for (auto& rule : visibilityRules)
        rule.control->setVisible (rule.shownFor[function]);
}

void GPIComponent::updateHelpTexts (int function)
{
    closingContactLabel.setVisible (typeCombo.getSelectedId() == closingContact &&
                                    function == sourceSelector);
    // RS232 takes both inputs whatever the (hidden) input type.
    rs232Label.setVisible (function == rs232);
}

void GPIComponent::setPositionCount (int typeId)
{
    const bool rowEnabled[positions] = { true, true, typeId > 2, typeId > 3 };
    for (int k = 0; k < positions; ++k)
    {
        positionCombos[(size_t)k].setEnabled (rowEnabled[k]);
        editButtons[(size_t)k].setEnabled (rowEnabled[k]);
        knobs[(size_t)k].setEnabled (rowEnabled[k]);
    }
}

void GPIComponent::setDefaultThresholds()
{
    const auto id = typeCombo.getSelectedId();
    const auto& thresholds = (id >= 2 && id <= 4) ? ladderThresholds : contactThresholds;
    for (int k = 0; k < positions; ++k)
        knobs[(size_t)k].setValue (thresholds[(size_t)k], juce::sendNotificationAsync);
}

//==============================================================================
void GPIComponent::comboBoxChanged (juce::ComboBox* combo)
{
    if (combo == &functionCombo)
    {
        const auto selected = functionCombo.getSelectedId();
        if (selected < 1 || selected > numFunctions)
            return;

        functionIndex = selected - 1;
        if (functionIndex == sourceSelector)
            selectFirstFreeSourceSet (juce::dontSendNotification);
        applyFunctionVisibility (functionIndex);
        updateHelpTexts (functionIndex);
        repaint();
    }
    else if (combo == &outputSetCombo)
    {
    }
    else if (combo == &sourceSetCombo)
    {
        if (functionIndex == sourceSelector)
            callOuts.applyGpiInputMask (callOutMask());
    }
    else if (combo == &typeCombo)
    {
        setPositionCount (typeCombo.getSelectedId());
        updateHelpTexts (functionIndex);
        setDefaultThresholds();
        repaint();
    }
    else
    {
        for (int k = 0; k < positions; ++k)
            if (combo == &positionCombos[(size_t)k])
            {
                if (combo->getSelectedId() == 0)
                    combo->setText ("Custom", juce::sendNotificationAsync);
                callOuts.setSelectedPresetId (k, combo->getSelectedId());
            }
    }

    // A function whose modifiers do not fit is refused as a whole: the amplifier
    // must never get part of it. What the document already held stays.
    if (!modifiersFit() && !matchesStoredFunction())
    {
        restoreStoredFunction();
        user->showMessage (UserInteraction::Icon::warning, "GPI " + gpiNumber,
                           "The device has no free modifier left for this function. The GPI setting was not "
                           "changed.");
        notifyListeners(); // the other page follows back out of RS232
        return;
    }

    writeGpiFunctionParameter();
    saveStateToDevice();
    regenerateDocument();
    notifyListeners();
    changedSinceSend = true;
}

void GPIComponent::sliderValueChanged (juce::Slider*)
{
    saveStateToDevice();
    regenerateDocument();
    changedSinceSend = true;
}

void GPIComponent::buttonClicked (juce::Button* button)
{
    for (int k = 0; k < positions; ++k)
        if (button == &editButtons[(size_t)k])
        {
            for (auto& other : editButtons)
                other.setToggleState (false, juce::dontSendNotification);
            editButtons[(size_t)k].setToggleState (true, juce::dontSendNotification);

            if (!callOuts.toggle (k, editButtons[(size_t)k], std::make_unique<MatrixCallback> (*this)))
                editButtons[(size_t)k].setToggleState (false, juce::dontSendNotification);
        }
}

void GPIComponent::moved()
{
    std::array<juce::Component*, positions> targets{};
    for (int k = 0; k < positions; ++k)
        targets[(size_t)k] = &editButtons[(size_t)k];
    callOuts.repoint (targets);
}

//==============================================================================
void GPIComponent::resized()
{
    functionCombo.setBounds (controlX, marginY, controlWidth, rowHeight);
    outputSetCombo.setBounds (controlX, 60, controlWidth, rowHeight);
    sourceSetCombo.setBounds (controlX, 60, controlWidth, rowHeight);
    outputLevelLabel.setBounds (marginX, 132, 300, 150);
    typeCombo.setBounds (controlX, 95, controlWidth, rowHeight);
    closingContactLabel.setBounds (controlX, 130, controlWidth, 40);

    for (int k = 0; k < positions; ++k)
    {
        knobs[(size_t)k].setBounds (knobXs[k], knobY, knobSize, knobSize);
        const auto y = positionRowYs[k];
        editButtons[(size_t)k].setBounds (75, y + 2, 20, 20);
        positionCombos[(size_t)k].setBounds (controlX, y, controlWidth, rowHeight);
    }

    for (auto* label : { &muteAllLabel, &wakeLabel, &rs232Label })
        label->setBounds (marginX, 102, 300, 150);
}

void GPIComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    g.setFont (juce::Font (16.0f, juce::Font::plain));
    g.setColour (juce::Colours::darkgrey);

    const auto left = juce::Justification::centredLeft;
    g.drawText ("Function", marginX, marginY, 60, rowHeight, left, false);

    const auto lineColour = findColour (juce::ResizableWindow::backgroundColourId);
    const auto drawLine = [&] (int y)
    {
        g.setColour (lineColour);
        g.fillRect (marginX, y, columnRight - marginX, 1);
        g.setColour (juce::Colours::darkgrey);
    };

    if (functionIndex == outputLevel)
    {
        g.drawText ("Output", marginX, 60, 60, rowHeight, left, false);
        drawLine (outputLevelLineY);
    }
    else if (functionIndex == sourceSelector)
    {
        const auto type = typeCombo.getSelectedId();
        g.drawText ("Output", marginX, 60, 60, rowHeight, left, false);
        g.drawText ("Selector", marginX, 95, 60, rowHeight, left, false);
        g.drawText (type == closingContact ? "" : "Position", marginX, knobY, 60, 35,
                    juce::Justification::topLeft, false);
        g.drawText (type == closingContact ? "" : "Voltage", marginX, knobY, 60, 35,
                    juce::Justification::bottomLeft, false);

        const juce::String rowTexts[positions] = { type == closingContact ? "Open  " : "Pos1",
                                                   type == closingContact ? "Closed" : "Pos2",
                                                   type >= 3 ? "Pos3" : "", type == 4 ? "Pos4" : "" };
        for (int k = 0; k < positions; ++k)
            g.drawText (rowTexts[k], marginX, positionRowYs[k], 45, rowHeight, left, false);

        drawLine (sourceSelectorLineY);
    }

    drawLine (functionLineY);
}
