#pragma once

#include "editors/GpiModifierWriter.h"
#include "editors/MatrixModulation.h"
#include "editors/MatrixStepCallOuts.h"
#include "editors/OutputSetTable.h"
#include "editors/SetupComponent.h"
#include "editors/iosRotary.h"
#include "platform/JuceUserInteraction.h"
#include "look/EditButton.h"
#include "look/FlatLNF.h"

#include <array>

// The page of one general-purpose input (GPI index 0 or 1): the function of the
// input and its settings. The page keeps its widget state in the device's
// ControlSelection/GPI1 or GPI2 element and writes the function into the
// device's CORVADINE document: the CONTROLS parameter of the GPI, the MODIFIERs
// of Output Level and RS232, and the MATRIXMOD of Source Selector.
//
// Building the page normalises its state element and otherwise leaves a
// consistent document as it was. Message thread only.
class GPIComponent : public SetupComponent,
                     public juce::ComboBox::Listener,
                     public juce::Button::Listener,
                     public juce::Slider::Listener
{
public:
    enum Function
    {
        noFunction,
        outputLevel,
        sourceSelector,
        muteAll,
        wake,
        rs232,
        numFunctions
    };

    // The device element and the library must outlive the page.
    GPIComponent (int gpiIndex, juce::XmlElement* device, const PresetLibrary* presets, DeviceFamily family);
    ~GPIComponent() override;

    bool isModified() override;
    bool consumeChangeFlag() override;

    // Who is told about a refused change; the framework's message boxes until set.
    void setUserInteraction (UserInteraction& interaction) noexcept { user = &interaction; }

    int getFunctionIndex() const noexcept { return functionIndex; }

    // The CONTROLS parameter of the current function; nothing is created when the
    // document lacks CONTROLS or the GPI's parameter.
    void writeGpiFunctionParameter();

    // RS232 occupies both inputs: follows the other page into RS232, and out of it.
    void followOtherRs232 (bool otherIsRs232);

    // The outputs this page's source selector switches; 0 unless Source Selector.
    juce::uint8 getSourceSelectorInputMask() const;

    // The outputs the other GPI's source selector switches, which this page then
    // cannot switch.
    void setOtherGpiOutputMask (juce::uint8 mask);

    void paint (juce::Graphics&) override;
    void resized() override;
    void moved() override;
    void comboBoxChanged (juce::ComboBox*) override;
    void buttonClicked (juce::Button*) override;
    void sliderValueChanged (juce::Slider*) override;

private:
    static constexpr int positions = MatrixModulation::positions;

    struct VisibilityRule
    {
        juce::Component* control;
        bool shownFor[numFunctions];
    };

    void createVoltageSlider (int number);
    void addHelpLabel (juce::Label& label, const juce::String& name, const juce::String& text, bool hidden);
    void addVisibilityRule (juce::Component& control, int shownFunction);

    juce::XmlElement* findOrCreateState();
    void loadState();
    int storedSelId (int id, int fallback) const;
    int storedFunction() const;
    void saveStateToDevice();
    void storeComboState (int id, const juce::ComboBox& combo);
    void storeVoltageState (int id, const juce::Slider& knob);

    void regenerateDocument();
    void writeOutputLevelModifiers (GpiModifierWriter::Mode mode, GpiModifierWriter::Result& result);
    void writeRs232Modifiers (GpiModifierWriter::Mode mode, GpiModifierWriter::Result& result);
    bool modifiersFit();
    bool matchesStoredFunction() const;
    void restoreStoredFunction();
    void updateMatrixMod();
    void buildMatrixCallOuts();
    void matrixCallOutClosed();

    void applyFunctionVisibility (int function);
    void updateHelpTexts (int function);
    void setPositionCount (int typeId);
    void setDefaultThresholds();
    void selectFirstFreeSourceSet (juce::NotificationType notification);
    std::array<int, positions> positionPresetIds() const;
    juce::uint8 callOutMask() const;

    const juce::XmlElement* outputLevelPreset() const;
    const juce::XmlElement* rs232Preset() const;

    class MatrixCallback;

    const juce::String gpiNumber;
    FlatLNF lookAndFeel;
    iosRotary rotaryLook;

    juce::ComboBox functionCombo, sourceSetCombo, outputSetCombo, typeCombo;
    std::array<juce::Slider, positions> knobs;
    std::array<juce::ComboBox, positions> positionCombos;
    std::array<EditButton, positions> editButtons;
    juce::Label muteAllLabel, wakeLabel, closingContactLabel, outputLevelLabel, rs232Label;

    const int gpiIndex;
    const OutputSetTable outputSets;
    const juce::OwnedArray<juce::XmlElement>* outputLevelPresets = nullptr; // category 5
    const juce::OwnedArray<juce::XmlElement>* rs232Presets = nullptr;       // category 7
    juce::OwnedArray<juce::XmlElement> matrixPresets;                       // those the family can play

    juce::XmlElement* corvadine = nullptr; // the device's settings document, may be missing
    juce::XmlElement* state = nullptr;     // GPI1 or GPI2
    bool migratedOnLoad = false;
    MatrixModulation matrixMod;
    std::unique_ptr<juce::XmlElement> matrixModAtBuild; // the live MATRIXMOD as the page found it
    MatrixStepCallOuts callOuts;

    juce::Array<VisibilityRule> visibilityRules;
    int functionIndex = noFunction;
    juce::uint8 otherGpiOutputMask = 0;
    bool changedSinceSend = false;

    JuceUserInteraction defaultUser;
    UserInteraction* user = &defaultUser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GPIComponent)
};
