#pragma once

#include "editors/EQDialog.h"
#include "editors/SetupComponent.h"
#include "look/FlatLNF.h"

class UserInteraction;

// The INPUTS page: for each input of the device one box chooses a level-and-EQ
// preset, or "Custom..." to edit the input's EQ in the EQ dialog. A choice goes
// at once into the device's settings document and into InputSelection.
// Building the page only shows what the device holds; it writes nothing but an
// empty InputSelection where the device has none. Message thread only.
class InputComponent : public SetupComponent, public juce::ComboBox::Listener
{
public:
    static constexpr int customId = 10001;
    static constexpr int maxInputs = 4;

    // The device element, the library and the user must outlive the page. EQ
    // preset files are kept under the given Documents folder.
    InputComponent (juce::XmlElement& device, const PresetLibrary& presets, const DeviceFamily& family,
                    UserInteraction& user,
                    const juce::File& documentsFolder =
                        juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));

    bool isModified() override;
    bool consumeChangeFlag() override;

    void comboBoxChanged (juce::ComboBox*) override;
    void resized() override;
    void paint (juce::Graphics&) override;

    int getNumInputs() const { return comboBoxes.size(); }
    juce::ComboBox& getComboBox (int input) { return *comboBoxes[input]; }
    EQDialog& getEqDialog() { return eqDialog; }

private:
    // The EFFECT holding the EQ of input n.
    static int eqEffectId (int input) { return 12 + 2 * input; }

    void choosePreset (int input, int presetId);
    void editCustomEq (int input);
    // Puts the dialog's curve into the input's EQ EFFECT.
    void writeDialogBands (int input);
    void storeSelection (int input, const juce::String& text, int selectedId);

    EQDialog eqDialog;
    int editIndex = 0;
    int customChosen[maxInputs] = {};
    juce::XmlElement* state = nullptr;
    const juce::OwnedArray<juce::XmlElement>* presetList = nullptr;
    // Before the widgets, so that it outlives them.
    FlatLNF look;
    juce::Label heading{ {}, "LEVEL AND EQ PRESET" };
    juce::OwnedArray<juce::Label> labels;
    juce::OwnedArray<juce::ComboBox> comboBoxes;
    bool changed = false;
    UserInteraction& user;

    // Layout, in pixels.
    static constexpr int rowGap = 15;
    static constexpr int leftMargin = 30;
    static constexpr int top = 15;
    static constexpr int comboWidth = 220;
    static constexpr int rowHeight = 25;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InputComponent)
};
