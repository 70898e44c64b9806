#include "editors/OutputComponent.h"

#include "document/SettingsDocument.h"
#include "editors/BarSlider.h"
#include "platform/UserInteraction.h"
#include "look/ColourScheme.h"

#include <cmath>

namespace
{
constexpr int speakerPresetCategory = 9;

// Ids of each output's effects, outputs 1 to 4.
constexpr int eqEffectIds[] = { 22, 24, 64, 66 };
constexpr int qmxEffectIds[] = { 26, 28, 68, 70 };

struct ChannelEffect
{
    const char* stem;
    int ids[OutputComponent::maxOutputs];
};

constexpr ChannelEffect singleBandEffect{ "SingleBand", { 78, 80, 82, 84 } };
constexpr ChannelEffect delayEffect{ "Delay", { 88, 90, 92, 94 } };
constexpr ChannelEffect limiterEffect{ "Apm", { 34, 36, 72, 74 } };
constexpr const ChannelEffect* channelEffects[] = { &singleBandEffect, &delayEffect, &limiterEffect };

constexpr int qmxBypassId = 5;
constexpr int delayTimeId = 0;
constexpr int limitVoltageId = 7;

// The delay effect counts whole samples at 48 kHz, at most 6143 of them.
constexpr float samplesPerMillisecond = 48.0f;
constexpr int maxDelaySamples = 6143;
// Every output's total delay includes the amplifier's own latency.
constexpr double fixedLatencyMs = 9.0;
constexpr double maxLimit = 50.0;

// On a custom output's ComboBox entry: the volts its EQ's limiter allows. The
// limiter's own parameter holds the total the amplifier gets, so it cannot tell
// this limit again once the total was lowered.
const char* const customLimitAttribute = "CustomLimit";

// ADLC off: the QMX band gains and the single-band gain at 0 dB.
const ParameterRecord adlcOffRecords[] = {
    { 31, 37, "0 dB" },
    { 32, 37, "0 dB" },
    { 33, 37, "0 dB" },
    { 1, 240, "0 dB" },
};

void setLimitVoltage (juce::XmlElement& voltage, int tenths)
{
    voltage.setAttribute ("DisplayValue", juce::String ((float)tenths / 10.0f) + " Volt");
    voltage.setAttribute ("StepValue", tenths);
}

const ChannelEffect& channelEffectOf (const char* stem)
{
    for (auto* effect : channelEffects)
        if (juce::String (effect->stem) == stem)
            return *effect;
    jassertfalse;
    return delayEffect;
}

juce::String effectName (const char* stem, int output)
{
    return stem + juce::String (output + 1) + " Preset";
}

void setupSmallLabel (juce::Label& label)
{
    label.setFont (juce::Font (10.0f));
    label.setJustificationType (juce::Justification::left);
    label.setColour (juce::Label::textColourId, juce::Colours::grey);
}
} // namespace

OutputComponent::OutputComponent (juce::XmlElement& device, const PresetLibrary& library,
                                  const DeviceFamily& familyRow, UserInteraction& userToAsk,
                                  const juce::File& documentsFolder)
    : SetupComponent (&device, &library, familyRow),
      eqDialog (library, EQDialog::outputMode, userToAsk, documentsFolder), user (userToAsk)
{
    addHeading (header);

    applyColourScheme (look);
    speakerPresets = library.getList (speakerPresetCategory);

    if (speakerPresets != nullptr)
        for (auto* preset : *speakerPresets)
            if (preset->getStringAttribute ("Name") == "Flat")
                flatQmxEffect = findChildByIdAndName (*preset, "EFFECT", "QMX1 Preset", "26");

    // Without a settings document an edit could go nowhere: the page only shows.
    const bool editable = getSettings() != nullptr;

    for (int n = 0; n < juce::jmin (family.outputs, maxOutputs); ++n)
    {
        auto* row = rows.add (new Row());
        std::copy (std::begin (adlcOffRecords), std::end (adlcOffRecords), savedRecords[n]);
        presetLimits[n] = maxLimit; // no further limit until one is read

        auto& box = row->speakerBox;
        box.setLookAndFeel (&look);
        addPresetItems (box, speakerPresets, customId);
        box.addListener (this);

        row->adlc.setLookAndFeel (&look);
        row->adlc.addListener (this);

        row->channel.setText ((n < 2 ? "SPK" : "OUT") + juce::String (n + 1), juce::dontSendNotification);
        row->channel.setFont (juce::Font (19.0f, juce::Font::bold));
        row->channel.setJustificationType (juce::Justification::centred);
        row->channel.setColour (juce::Label::textColourId, juce::Colours::black);

        setupBarSlider (row->delay, look, 0.0, 120.0, 0.1, " ms");
        setupBarSlider (row->delayTotal, look, 0.0, 129.0, 0.1, " ms");
        setupBarSlider (row->limit, look, 0.0, maxLimit, 0.1f, " Vpk");
        setupBarSlider (row->limitTotal, look, 0.0, 120.0, 0.1, " Vpk");
        row->limit.setValue (maxLimit, juce::dontSendNotification);
        row->delay.addListener (this);
        row->limit.addListener (this);

        for (auto* total : { &row->delayTotal, &row->limitTotal })
        {
            total->setEnabled (false);
            total->setTextBoxIsEditable (false);
        }

        for (auto* label : { &row->delayLabel, &row->delayTotalLabel, &row->limitLabel, &row->limitTotalLabel,
                             &row->adlcLabel })
            setupSmallLabel (*label);

        for (auto* control :
             std::initializer_list<juce::Component*>{ &box, &row->adlc, &row->delay, &row->limit })
            control->setEnabled (editable);

        for (auto* child : std::initializer_list<juce::Component*>{
                 &box, &row->adlc, &row->channel, &row->delay, &row->delayLabel, &row->delayTotalLabel,
                 &row->delayTotal, &row->limitLabel, &row->limit, &row->adlcLabel, &row->limitTotalLabel,
                 &row->limitTotal })
            addAndMakeVisible (child);

        for (auto* limitControl : std::initializer_list<juce::Component*>{
                 &row->limit, &row->limitTotal, &row->limitLabel, &row->limitTotalLabel })
            limitControl->setVisible (hasLimit());
    }

    state = findOrCreatePageState ("OutputSelection");

    // Shown as stored, telling no one: looking at a device must not write into it.
    for (int n = 0; n < rows.size(); ++n)
    {
        auto& row = *rows[n];
        showStoredSpeaker (n);

        if (const auto* adlc = findChildById (*state, "CheckBox", 4 + n))
            row.adlc.setToggleState (adlc->getStringAttribute ("Value") == "On", juce::dontSendNotification);

        if (const auto* delay = findChildById (*state, "Delay", 8 + n))
            row.delay.setValue (delay->getDoubleAttribute ("Value"), juce::dontSendNotification);

        if (const auto* limit = findChildById (*state, "Apm", 12 + n); limit != nullptr && hasLimit())
            row.limit.setValue (limit->getDoubleAttribute ("Value"), juce::dontSendNotification);

        if (hasLimit())
            readPresetLimit (n);

        loadAdlcRecords (n);
        updateDelayTotal (n);
        updateLimitTotal (n);
    }

    storeDelayAndLimitStates();
    takeSnapshot (state);
    eqDialog.setSize (330, 450);
}

OutputComponent::~OutputComponent() = default;

bool OutputComponent::isModified()
{
    return differsFromSnapshot (state);
}

bool OutputComponent::consumeChangeFlag()
{
    bool result = changed;

    // While the dialog is open the document follows the curve.
    if (eqDialog.isShownModally() && eqDialog.consumeChangeFlag())
    {
        if (auto* settings = getSettings())
            replaceEffectForChannel (*settings, eqEffectIds[eqChannel], eqDialog.writeBandParameters(),
                                     eqChannel);
        result = true;
    }

    changed = false;
    return result;
}

int OutputComponent::outputOf (const juce::Component* control) const
{
    for (int n = 0; n < rows.size(); ++n)
    {
        const auto& row = *rows[n];
        if (control == &row.speakerBox || control == &row.adlc || control == &row.delay ||
            control == &row.limit)
            return n;
    }
    return -1;
}

const juce::XmlElement* OutputComponent::findSpeakerPreset (int presetId) const
{
    return presetId > 0 && presetId != customId ? findPresetById (speakerPresets, presetId) : nullptr;
}

juce::XmlElement* OutputComponent::findQmxEffect (int output) const
{
    return element != nullptr ? findEffectById (*element, qmxEffectIds[output]) : nullptr;
}

juce::XmlElement* OutputComponent::findChannelEffect (const char* stem, int output) const
{
    auto* settings = getSettings();
    if (settings == nullptr)
        return nullptr;

    // Effects read back from an amplifier carry no names: those match by Id alone.
    const auto name = effectName (stem, output);
    const juce::String id (channelEffectOf (stem).ids[output]);

    for (auto* stored : settings->getChildWithTagNameIterator ("EFFECT"))
    {
        const auto effectId = stored->getStringAttribute ("Id", stored->getStringAttribute ("id"));
        const bool named = stored->hasAttribute ("Name") || stored->hasAttribute ("name");
        if (effectId == id &&
            (!named || stored->getStringAttribute ("Name", stored->getStringAttribute ("name")) == name))
            return stored;
    }
    return nullptr;
}

juce::XmlElement* OutputComponent::channelEffectToWrite (const char* stem, int output)
{
    if (auto* found = findChannelEffect (stem, output))
        return found;

    if (getSettings() == nullptr)
        return nullptr;

    if (const auto* deviceTemplate = presets->getElement (family.id))
        if (const auto* missing = findEffectByIdAndName (*deviceTemplate, effectName (stem, output),
                                                         channelEffectOf (stem).ids[output]))
            copyEffectInto (*element, *missing);

    return findChannelEffect (stem, output);
}

void OutputComponent::showStoredSpeaker (int output)
{
    auto& box = rows[output]->speakerBox;
    const auto* stored = findChildById (*state, "ComboBox", output);
    showStoredSelection (box, stored, customId);

    const bool custom = stored != nullptr && stored->getIntAttribute ("SelId", 0) == customId;
    selectedIds[output] = custom ? customId : box.getSelectedId();
}

void OutputComponent::comboBoxChanged (juce::ComboBox* box)
{
    const int n = outputOf (box);
    if (n < 0)
        return;

    const int selected = box->getSelectedId();
    changed = true;

    // A choice that came to nothing (Cancel, or nothing to write into) leaves the rest alone.
    if (selected == customId && !editCustomEq (n))
        return;
    if (selected > 0 && selected != customId && !chooseSpeakerPreset (n, selected))
        return;

    loadAdlcRecords (n);
    setAdlc (n, rows[n]->adlc.getToggleState());
    dropLimitParameter();

    if (hasLimit())
    {
        readPresetLimit (n);
        updateLimitTotal (n);
        writeLimit (n);
    }
    else
    {
        updateLimitTotal (n);
    }

    storeDelayAndLimitStates();
}

bool OutputComponent::chooseSpeakerPreset (int output, int presetId)
{
    const auto* preset = findSpeakerPreset (presetId);

    if (preset == nullptr || getSettings() == nullptr)
    {
        showStoredSpeaker (output);
        return false;
    }

    storeWidget (*state, "ComboBox", output, rows[output]->speakerBox.getText(), &presetId)
        .removeAttribute (customLimitAttribute);
    mergePresetIntoChannel (*element, *preset, output);
    selectedIds[output] = presetId;
    return true;
}

bool OutputComponent::editCustomEq (int output)
{
    auto* settings = getSettings();
    if (settings == nullptr)
    {
        showStoredSpeaker (output);
        return false;
    }

    eqChannel = output;
    const auto* eqEffect = findEffectById (*element, eqEffectIds[output]);
    auto backup = eqEffect != nullptr ? std::make_unique<juce::XmlElement> (*eqEffect) : nullptr;

    eqDialog.consumeChangeFlag();

    if (selectedIds[output] == customId)
    {
        if (eqEffect != nullptr)
            eqDialog.setBands (eqEffect, 0);
        else
            eqDialog.selectFirstFactoryPreset();

        eqDialog.setLimiter (findEffectById (*element, limiterEffect.ids[output]), 0);
        eqDialog.setLimiterVoltage (juce::roundToInt (presetLimits[output] * 10.0));
    }
    else
    {
        eqDialog.selectFirstFactoryPreset();
    }

    if (user.runDialog (eqDialog, "Custom EQ Settings") == 0)
    {
        // Cancel leaves the output as it was before the dialog opened.
        replaceEffect (*settings, eqEffectIds[output], std::move (backup));
        showStoredSpeaker (output);
        return false;
    }

    auto text = eqDialog.getPresetText();
    if (text.isEmpty())
        text = "Custom";

    auto& box = rows[output]->speakerBox;
    showTextWithoutSelection (box, text);
    const int id = customId;
    auto& stored = storeWidget (*state, "ComboBox", output, text, &id);

    replaceEffectForChannel (*settings, eqEffectIds[output], eqDialog.writeBandParameters(), output);
    replaceEffectForChannel (*settings, limiterEffect.ids[output], eqDialog.writeLimiterParameters(), output);
    selectedIds[output] = customId;

    stored.removeAttribute (customLimitAttribute);
    if (hasLimit())
        if (auto* limiter = findChannelEffect (limiterEffect.stem, output))
        {
            // A preset saved for the family without a voltage limit holds none; here the
            // limit the page shows must still reach the amplifier: the one the dialog showed.
            auto* voltage = findChildById (*limiter, "PARAMETER", limitVoltageId);
            if (voltage == nullptr)
            {
                voltage = new juce::XmlElement ("PARAMETER");
                voltage->setAttribute ("Name", "V Lim");
                voltage->setAttribute ("Id", limitVoltageId);
                setLimitVoltage (*voltage, juce::roundToInt (eqDialog.getVoltageSlider()->getValue() * 10.0));
                limiter->insertChildElement (voltage, 0);
            }

            stored.setAttribute (customLimitAttribute,
                                 juce::var (voltage->getIntAttribute ("StepValue") / 10.0).toString());
        }
    return true;
}

void OutputComponent::loadAdlcRecords (int output)
{
    // ADLC on gives back the speaker's own band gains: those of its preset, of the
    // flat preset for a custom EQ, else those the device holds.
    const juce::XmlElement* qmx = findQmxEffect (output);
    const juce::XmlElement* singleBand = findChannelEffect (singleBandEffect.stem, output);

    if (selectedIds[output] == customId)
    {
        qmx = flatQmxEffect;
    }
    else if (const auto* preset = findSpeakerPreset (selectedIds[output]))
    {
        qmx = findChildByIdAndName (*preset, "EFFECT", "QMX1 Preset", "26");
        singleBand = findChildByIdAndName (*preset, "EFFECT", "SingleBand1 Preset", "78");
    }

    for (int i = 0; i < numAdlcRecords; ++i)
        savedRecords[output][i].load (i < 3 ? qmx : singleBand, adlcOffRecords[i].getId());
}

void OutputComponent::setAdlc (int output, bool on)
{
    auto* qmx = findQmxEffect (output);

    if (qmx != nullptr)
        if (auto* bypass = findChildById (*qmx, "PARAMETER", qmxBypassId))
        {
            bypass->setAttribute ("DisplayValue", on ? "On" : "Bypass");
            bypass->setAttribute ("StepValue", on ? 0 : 1);
        }

    const auto* records = on ? savedRecords[output] : adlcOffRecords;
    for (int i = 0; i < 3; ++i)
        records[i].writeTo (qmx);
    records[3].writeTo (channelEffectToWrite (singleBandEffect.stem, output));
}

int OutputComponent::delayToSamples (float milliseconds)
{
    return juce::jlimit (0, maxDelaySamples, (int)(milliseconds * samplesPerMillisecond));
}

void OutputComponent::writeDelay (int output, int samples)
{
    if (auto* delayElement = channelEffectToWrite (delayEffect.stem, output))
        if (auto* time = findChildById (*delayElement, "PARAMETER", delayTimeId))
        {
            time->setAttribute ("DisplayValue", juce::String (samples) + " Smpl");
            time->setAttribute ("StepValue", samples);
        }
}

void OutputComponent::writeLimit (int output)
{
    if (!hasLimit())
        return;

    // The total, not the LIMIT slider: the amplifier never gets more than the page shows.
    const int tenths = juce::roundToInt (rows[output]->limitTotal.getValue() * 10.0);

    if (auto* limiterElement = channelEffectToWrite (limiterEffect.stem, output))
        if (auto* voltage = findChildById (*limiterElement, "PARAMETER", limitVoltageId))
            setLimitVoltage (*voltage, tenths);
}

void OutputComponent::dropLimitParameter()
{
    if (hasLimit() || element == nullptr)
        return;

    if (auto* limiterElement =
            findEffectByIdAndName (*element, effectName (limiterEffect.stem, 0), limiterEffect.ids[0]))
        if (auto* voltage = findChildById (*limiterElement, "PARAMETER", limitVoltageId))
            limiterElement->removeChildElement (voltage, true);
}

void OutputComponent::readPresetLimit (int output)
{
    // A speaker preset's own limit; for a custom EQ the one its limiter was given,
    // which files from before it was kept with the selection only hold in the limiter.
    if (selectedIds[output] == customId)
        if (const auto* stored = findChildById (*state, "ComboBox", output))
            if (const auto limit = stored->getStringAttribute (customLimitAttribute); limit.isNotEmpty())
            {
                const auto volts = limit.getDoubleValue();
                if (std::isfinite (volts))
                {
                    presetLimits[output] = (float)juce::jlimit (0.0, maxLimit, volts);
                    return;
                }
            }

    const juce::XmlElement* limiterElement = findChannelEffect (limiterEffect.stem, output);
    if (const auto* preset = findSpeakerPreset (selectedIds[output]))
        limiterElement = findChildByIdAndName (*preset, "EFFECT", "Apm1 Preset", "34");

    if (limiterElement != nullptr)
        if (const auto* voltage = findChildById (*limiterElement, "PARAMETER", limitVoltageId))
            if (voltage->getStringAttribute ("StepValue").isNotEmpty())
                presetLimits[output] = (float)(voltage->getIntAttribute ("StepValue") / 10.0);
}

void OutputComponent::updateDelayTotal (int output)
{
    auto& row = *rows[output];
    row.delayTotal.setValue (row.delay.getValue() + fixedLatencyMs, juce::dontSendNotification);
}

void OutputComponent::updateLimitTotal (int output)
{
    auto& row = *rows[output];
    row.limitTotal.setValue (juce::jmin (row.limit.getValue(), presetLimits[output]),
                             juce::dontSendNotification);
}

void OutputComponent::buttonClicked (juce::Button* button)
{
    const int n = outputOf (button);
    if (n < 0)
        return;

    const bool on = rows[n]->adlc.getToggleState();
    storeWidget (*state, "CheckBox", 4 + n, on ? "On" : "Off");
    setAdlc (n, on);
    changed = true;
}

void OutputComponent::sliderValueChanged (juce::Slider* slider)
{
    const int n = outputOf (slider);
    if (n < 0)
        return;

    auto& row = *rows[n];

    if (slider == &row.delay)
    {
        const int samples = delayToSamples ((float)row.delay.getValue());
        row.delay.setValue ((float)samples / samplesPerMillisecond, juce::dontSendNotification);
        updateDelayTotal (n);
        writeDelay (n, samples);
    }
    else
    {
        row.limit.setValue ((float)row.limit.getValue(), juce::dontSendNotification);
        updateLimitTotal (n);
        writeLimit (n);
    }

    storeDelayAndLimitStates();
    changed = true;
}

void OutputComponent::storeNumber (const juce::String& tag, int id, double value)
{
    // An entry that already reads as this number is left as it is written.
    if (const auto* existing = findChildById (*state, tag, id))
        if (existing->getStringAttribute ("Value").isNotEmpty() &&
            std::abs (existing->getDoubleAttribute ("Value") - value) < 1.0e-9)
            return;

    storeWidget (*state, tag, id, juce::var (value).toString());
}

void OutputComponent::storeDelayAndLimitStates()
{
    for (int n = 0; n < rows.size(); ++n)
    {
        storeNumber ("Delay", 8 + n, rows[n]->delay.getValue());
        // A new limit entry starts at the full 50 V: the speaker's own limit still holds the total.
        const bool hasLimitEntry = findChildById (*state, "Apm", 12 + n) != nullptr;
        storeNumber ("Apm", 12 + n, hasLimitEntry ? rows[n]->limitTotal.getValue() : maxLimit);
    }
}

void OutputComponent::resized()
{
    const int w = getWidth();
    header.setBounds (30, 15, w - 30, 19);

    const int x0 = w - 247;

    for (int n = 0; n < rows.size(); ++n)
    {
        auto& row = *rows[n];
        const int y = 66 + 73 * n;
        row.channel.setBounds (x0 / 2 - 22, y, 60, 50);
        row.speakerBox.setBounds (x0, y, 226, 25);

        const int labelY = y + 24;
        const int sliderY = y + 37;
        row.delayLabel.setBounds (x0 - 5, labelY, 40, 16);
        row.delay.setBounds (x0, sliderY, 45, 16);
        row.delayTotalLabel.setBounds (x0 + 45, labelY, 40, 16);
        row.delayTotal.setBounds (x0 + 50, sliderY, 45, 16);
        row.limitLabel.setBounds (x0 + 95, labelY, 40, 16);
        row.limit.setBounds (x0 + 100, sliderY, 45, 16);
        row.limitTotalLabel.setBounds (x0 + 145, labelY, 40, 16);
        row.limitTotal.setBounds (x0 + 150, sliderY, 45, 16);
        row.adlcLabel.setBounds (x0 + 195, labelY, 40, 16);
        row.adlc.setBounds (x0 + 203, sliderY, 16, 16);
    }
}

void OutputComponent::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.drawHorizontalLine (0, 0.0f, (float)getWidth());
}
