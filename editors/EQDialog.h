#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "document/PresetLibrary.h"
#include "editors/EQSlider.h"
#include "editors/EQTypeButton.h"
#include "editors/EqPresetList.h"
#include "look/EQSliderLookNFeel.h"
#include "look/FlatLNF.h"
#include "look/iosButton.h"

class UserInteraction;

// The custom EQ editor of the INPUTS and OUTPUTS pages: four bands with a
// filter-type button and gain, frequency and width sliders each, a chooser of
// EQ presets, a "Save" button that stores the curve as a preset file, and "OK"
// and "Cancel". Output mode adds a limiter row (peak voltage, impedance and
// the resulting power).
//
// The dialog edits private copies of one EQ EFFECT (and one limiter EFFECT);
// the owning page reads them back and puts them into the device's document.
// Message thread only.
class EQDialog : public juce::Component,
                 public juce::Button::Listener,
                 public juce::Slider::Listener,
                 public juce::ComboBox::Listener
{
public:
    enum Mode
    {
        inputMode = 0,
        outputMode = 1
    };

    static constexpr int numBands = 4;

    // Preset files are kept under the given Documents folder; questions and file
    // choosers go to `user`. Both the library and the user must outlive the dialog.
    EQDialog (const PresetLibrary& library, int mode, UserInteraction& user,
              const juce::File& documentsFolder =
                  juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));
    ~EQDialog() override;

    // A preset id other than 0 selects that preset; else the EFFECT, when given,
    // is shown and the preset chooser shows no selection. Without one the dialog
    // holds none (the limiter row back at its start values) until a preset is chosen.
    void setBands (const juce::XmlElement* eqEffect, int presetId);
    void setLimiter (const juce::XmlElement* limiterEffect, int presetId);
    // Starts afresh from the first built-in preset.
    void selectFirstFactoryPreset();
    void setLimiterVoltage (int tenths);
    juce::String getPresetText() const;

    // The held EQ EFFECT, updated from the controls; null when none was ever
    // applied. The dialog keeps it: callers copy it.
    juce::XmlElement* writeBandParameters();
    // The held limiter EFFECT, updated from the limiter row (created when none is held).
    juce::XmlElement* writeLimiterParameters();

    // True when the curve changed since the last call.
    bool consumeChangeFlag();
    // The dialog's window exists and is the current modal component.
    bool isShownModally() const;

    // The controls, for the tests that play the user.
    EQTypeButton& getTypeButton (int band) { return *typeButtons[band]; }
    EQSlider& getGainSlider (int band) { return *gainSliders[band]; }
    EQSlider& getFrequencySlider (int band) { return *frequencySliders[band]; }
    EQSlider& getWidthSlider (int band) { return *widthSliders[band]; }
    juce::Slider* getVoltageSlider() { return voltageSlider.get(); }
    juce::Slider* getImpedanceSlider() { return impedanceSlider.get(); }
    juce::Slider* getPowerSlider() { return powerSlider.get(); }
    juce::ComboBox& getPresetCombo() { return presetCombo; }
    juce::Button& getOkButton() { return okButton; }
    juce::Button& getCancelButton() { return cancelButton; }
    juce::Button& getSaveButton() { return saveButton; }
    const EqPresetList& getPresetList() const { return presetList; }

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void sliderValueChanged (juce::Slider*) override;
    void comboBoxChanged (juce::ComboBox*) override;

private:
    // Layout, in pixels.
    static constexpr int columnSpacing = 15;
    static constexpr int buttonAreaSpacing = 15;
    static constexpr int buttonMarginX = 10;
    static constexpr int buttonMarginY = 10;
    static constexpr int verticalGap = 20;
    static constexpr int buttonWidth = 90;
    static constexpr int buttonHeight = 25;
    static constexpr int sliderWidth = 70;
    static constexpr int sliderHeight = 23;
    static constexpr int typeButtonWidth = 40;
    static constexpr int comboWidth = 240;
    static constexpr int labelWidth = 70;

    void showEffect (const juce::XmlElement* toShow, int presetId,
                     void (EQDialog::*apply) (const juce::XmlElement&), void (EQDialog::*forget)());
    void applyPreset (int presetId);
    void forgetBands();
    void forgetLimiter();
    void applyBands (const juce::XmlElement& eqEffect);
    void applyLimiter (const juce::XmlElement& limiterEffect);
    void updateBandControls (int band);
    void updatePower();
    void fillPresetCombo();
    void noteEdit();
    std::unique_ptr<juce::XmlElement> buildPresetDocument();
    int showEqTypeMenu (int currentType);
    EQSlider* createEqSlider (int row);
    void closeWithResult (int result);
    static float bandPowerFromVoltage (float volts, float ohms);

    EQSliderLookNFeel sliderLook;
    FlatLNF flatLook;
    UserInteraction& user;
    EqPresetList presetList;

    juce::Rectangle<int> buttonArea, presetLabelArea;
    int separatorRight = 0;
    int bandHeaderY[numBands] = {};
    int limiterHeaderY = 0;
    juce::Rectangle<int> bandLabelAreas[numBands], bandHeaderAreas[numBands][3];
    juce::Rectangle<int> limiterLabelArea, limiterHeaderAreas[3];

    juce::OwnedArray<EQTypeButton> typeButtons;
    juce::OwnedArray<EQSlider> gainSliders, frequencySliders, widthSliders;

    std::unique_ptr<EQTypeButton> limiterButton;
    std::unique_ptr<juce::Slider> voltageSlider, impedanceSlider, powerSlider;
    // The power the limiter row gives, shown even where it exceeds the power slider's range.
    float power = 0.0f;

    iosButton okButton{ "OK" }, cancelButton{ "Cancel" }, saveButton{ "Save" };
    juce::ComboBox presetCombo;

    std::unique_ptr<juce::XmlElement> heldEq, heldLimiter;
    bool changed = false;
    const int mode;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQDialog)
};
