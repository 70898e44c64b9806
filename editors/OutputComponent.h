#pragma once

#include "editors/EQDialog.h"
#include "editors/ParameterRecord.h"
#include "editors/SetupComponent.h"
#include "look/FlatLNF.h"

class UserInteraction;

// The OUTPUTS page: for each output of the device a speaker preset (or a custom
// EQ with a limiter, edited in the EQ dialog), an ADLC switch, a delay and a
// voltage limit, with the resulting total delay and total limit. Every edit goes
// at once into OutputSelection and into the device's settings document.
//
// Building the page only shows what the device holds: it writes nothing into the
// settings document, and into OutputSelection only the delay and limit entries
// it lacks. The amplifier's limit is always the total the page shows.
// Message thread only.
class OutputComponent : public SetupComponent,
                        public juce::ComboBox::Listener,
                        public juce::Button::Listener,
                        public juce::Slider::Listener
{
public:
    static constexpr int customId = 10000;
    static constexpr int maxOutputs = 4;
    // The family without a voltage limit ("ZELTA 70").
    static constexpr int familyWithoutLimit = 2;

    // The device element, the library and the user must outlive the page. EQ
    // preset files are kept under the given Documents folder.
    OutputComponent (juce::XmlElement& device, const PresetLibrary& presets, const DeviceFamily& family,
                     UserInteraction& user,
                     const juce::File& documentsFolder =
                         juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));
    ~OutputComponent() override;

    bool isModified() override;
    bool consumeChangeFlag() override;

    void comboBoxChanged (juce::ComboBox*) override;
    void buttonClicked (juce::Button*) override;
    void sliderValueChanged (juce::Slider*) override;
    void resized() override;
    void paint (juce::Graphics&) override;

    // Samples at 48 kHz for a delay in milliseconds, held to what a delay effect takes.
    static int delayToSamples (float milliseconds);

    int getNumOutputs() const { return rows.size(); }
    juce::ComboBox& getSpeakerBox (int output) { return rows[output]->speakerBox; }
    juce::ToggleButton& getAdlcToggle (int output) { return rows[output]->adlc; }
    juce::Slider& getDelaySlider (int output) { return rows[output]->delay; }
    juce::Slider& getDelayTotalSlider (int output) { return rows[output]->delayTotal; }
    juce::Slider& getLimitSlider (int output) { return rows[output]->limit; }
    juce::Slider& getLimitTotalSlider (int output) { return rows[output]->limitTotal; }
    juce::Label& getChannelLabel (int output) { return rows[output]->channel; }
    EQDialog& getEqDialog() { return eqDialog; }

private:
    // The widgets of one output.
    struct Row
    {
        juce::Label channel;
        juce::ComboBox speakerBox;
        juce::ToggleButton adlc;
        juce::Slider delay, delayTotal, limit, limitTotal;
        juce::Label delayLabel{ {}, "DELAY" }, delayTotalLabel{ {}, "TOTAL" }, limitLabel{ {}, "LIMIT" },
            limitTotalLabel{ {}, "TOTAL" }, adlcLabel{ {}, "ADLC" };
    };

    // The ADLC values of one output: the QMX band gains 31, 32, 33 and the single-band gain 1.
    static constexpr int numAdlcRecords = 4;

    bool hasLimit() const noexcept { return family.id != familyWithoutLimit; }
    int outputOf (const juce::Component* control) const;

    const juce::XmlElement* findSpeakerPreset (int presetId) const;
    juce::XmlElement* findQmxEffect (int output) const;
    juce::XmlElement* findChannelEffect (const char* stem, int output) const;
    // The effect to write into: when the device lacks it, a copy from the family's
    // device template is added first. Null without a settings document.
    juce::XmlElement* channelEffectToWrite (const char* stem, int output);

    bool chooseSpeakerPreset (int output, int presetId);
    bool editCustomEq (int output);
    void showStoredSpeaker (int output);
    void loadAdlcRecords (int output);
    void setAdlc (int output, bool on);
    void writeDelay (int output, int samples);
    void writeLimit (int output);
    void dropLimitParameter();
    void readPresetLimit (int output);
    void updateDelayTotal (int output);
    void updateLimitTotal (int output);
    void storeDelayAndLimitStates();
    void storeNumber (const juce::String& tag, int id, double value);

    EQDialog eqDialog;
    UserInteraction& user;
    // Before the widgets, so that it outlives them.
    FlatLNF look;
    juce::Label header{ {}, "SPEAKER PRESET" };
    juce::OwnedArray<Row> rows;
    juce::XmlElement* state = nullptr;
    const juce::OwnedArray<juce::XmlElement>* speakerPresets = nullptr;
    const juce::XmlElement* flatQmxEffect = nullptr;
    int selectedIds[maxOutputs] = {};
    double presetLimits[maxOutputs] = {};
    ParameterRecord savedRecords[maxOutputs][numAdlcRecords];
    int eqChannel = 0;
    bool changed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (OutputComponent)
};
