#include "editors/EqPresetFiles.h"

#include "document/ApplicationsFolder.h"
#include "document/ParameterLibrary.h"
#include "document/ProgramRevision.h"
#include "document/SavedFileFormat.h"
#include "document/SettingsDocument.h"
#include "editors/EqValueText.h"

#include <optional>

namespace
{
juce::File getPresetFolder (const juce::File& documentsFolder, const char* name)
{
    auto folder = getApplicationsFolder (documentsFolder).getChildFile (name);

    if (!folder.isDirectory())
        folder.createDirectory();

    return folder;
}

const char* const legacyTag = "ZELTA_EQPRESET";

struct EffectIdentity
{
    const char* name;
    int id;
};

constexpr EffectIdentity inputPresetEq{ "PEQ1 Preset", 12 };
constexpr EffectIdentity outputPresetEq{ "EQ1 Preset", 22 };
constexpr EffectIdentity presetLimiter{ "Apm1 Preset", 34 };

const EffectIdentity* presetEqIdentity (int category)
{
    return category == inputEqPresetCategory    ? &inputPresetEq
           : category == outputEqPresetCategory ? &outputPresetEq
                                                : nullptr;
}

void nameAs (juce::XmlElement& effect, const EffectIdentity& identity)
{
    effect.setAttribute ("Name", identity.name);
    effect.setAttribute ("Id", identity.id);
}

// An integer written plainly, as the program writes it ("12", "-3"); nothing else.
std::optional<int> readInteger (const juce::XmlElement& element, const char* attribute)
{
    const auto text = element.getStringAttribute (attribute);
    const int value = text.getIntValue();
    return juce::String (value) == text ? std::optional<int> (value) : std::nullopt;
}

bool isInRange (std::optional<int> value, int minimum, int maximum)
{
    return value && *value >= minimum && *value <= maximum;
}

bool isEffect (const juce::XmlElement& effect, const EffectIdentity& identity)
{
    return effect.hasTagName ("EFFECT") && effect.getStringAttribute ("Name") == identity.name &&
           readInteger (effect, "Id") == identity.id;
}

bool holdsEqBands (const juce::XmlElement& effect)
{
    const auto* table = getEqBandTable();
    int row = 0;

    for (auto* parameter = getFirstChildEffect (effect); parameter != nullptr;
         parameter = getNextEffect (*parameter), ++row)
    {
        int minStep = 0, maxStep = 0;
        if (row >= numEqBandParameters || !parameter->hasTagName ("PARAMETER") ||
            readInteger (*parameter, "Id") != row || getParameterMin (table, row, minStep) != parameterOk ||
            getParameterMax (table, row, maxStep) != parameterOk ||
            !isInRange (readInteger (*parameter, "StepValue"), minStep, maxStep))
            return false;
    }

    return row == numEqBandParameters;
}

struct LimiterValue
{
    int id, minimum, maximum;
};

// In the order the dialog creates them; the dialog writes back only those the
// limiter it was given holds, and the output page of the family without a
// voltage limit takes the voltage out of that limiter.
constexpr LimiterValue limiterValues[] = {
    { limiterVoltageId, 0, maxLimiterVoltageTenths },
    { limiterImpedanceId, minLimiterImpedanceTenths, maxLimiterImpedanceTenths },
};

// The peak voltage and the impedance, each perhaps left out, in that order and
// nothing else: the dialog writes any other parameter of the limiter into the
// device unread.
bool holdsLimiterValues (const juce::XmlElement& limiter)
{
    auto* parameter = getFirstChildEffect (limiter);

    for (const auto& value : limiterValues)
    {
        if (parameter == nullptr || !parameter->hasTagName ("PARAMETER") ||
            readInteger (*parameter, "Id") != value.id)
            continue;

        if (!isInRange (readInteger (*parameter, "StepValue"), value.minimum, value.maximum))
            return false;

        parameter = getNextEffect (*parameter);
    }

    return parameter == nullptr;
}
} // namespace

juce::File getInputEqPresetsFolder (const juce::File& documentsFolder)
{
    return getPresetFolder (documentsFolder, "Input EQ Presets");
}

juce::File getOutputEqPresetsFolder (const juce::File& documentsFolder)
{
    return getPresetFolder (documentsFolder, "Output EQ Presets");
}

std::unique_ptr<juce::XmlElement> wrapInCorvadineDocument (const juce::XmlElement& element,
                                                           const juce::String& name)
{
    auto document = std::make_unique<juce::XmlElement> ("CORVADINE");
    document->setAttribute ("Name", name);
    document->setAttribute ("ProductName", "Zelta 120/2M");
    document->setAttribute ("ProductModelId", "4");
    document->setAttribute ("SVNRev", juce::String (programRevision));
    document->setAttribute ("CorvadineRev", "2");
    document->setAttribute ("Id", "5");
    document->addChildElement (new juce::XmlElement (element));
    return document;
}

void nameAsPresetEqEffect (juce::XmlElement& effect, int category)
{
    if (const auto* identity = presetEqIdentity (category))
        nameAs (effect, *identity);
}

void nameAsPresetLimiter (juce::XmlElement& limiter)
{
    nameAs (limiter, presetLimiter);
}

bool isPresetLimiter (const juce::XmlElement& effect)
{
    return effect.getStringAttribute ("Name") == presetLimiter.name;
}

std::unique_ptr<juce::XmlElement> convertLegacyEqPreset (const juce::XmlElement& root, int category)
{
    if (root.getTagName() != legacyTag || root.getIntAttribute ("Rev", 0) != 1)
        return nullptr;

    auto effect = std::make_unique<juce::XmlElement> ("EFFECT");
    nameAsPresetEqEffect (*effect, category);

    int row = 0;

    for (auto* child = getFirstChildEffect (root); child != nullptr; child = getNextEffect (*child), ++row)
    {
        if (row >= numEqBandParameters || child->getIntAttribute ("Id", 0) != row)
            return nullptr;

        const auto text = child->getStringAttribute ("Value");
        std::optional<int> step;

        if (row % 4 == 0)
        {
            if (const auto type = eqTypeIndexFromName (text); type >= 0)
                step = type;
        }
        else
        {
            step = stepFromValueText (text, row);
        }

        if (!step)
            return nullptr;

        auto* parameter = effect->createNewChildElement ("PARAMETER");
        parameter->setAttribute ("Id", row);
        parameter->setAttribute ("StepValue", *step);
    }

    if (row != numEqBandParameters)
        return nullptr;

    return effect;
}

juce::XmlElement* getFirstChildEffect (const juce::XmlElement& parent)
{
    for (auto* child : parent.getChildIterator())
        if (!child->isTextElement())
            return child;
    return nullptr;
}

juce::XmlElement* getNextEffect (const juce::XmlElement& effect)
{
    for (auto* next = effect.getNextElement(); next != nullptr; next = next->getNextElement())
        if (!next->isTextElement())
            return next;
    return nullptr;
}

bool isUsableEqPreset (const juce::XmlElement& document, int category)
{
    const auto* identity = presetEqIdentity (category);
    if (identity == nullptr || !document.hasTagName ("CORVADINE") || !isEqPresetEffect (category, document))
        return false;

    const auto* eq = getFirstChildEffect (document);
    if (!isEffect (*eq, *identity) || !holdsEqBands (*eq))
        return false;

    const auto* limiter = getNextEffect (*eq);
    if (limiter == nullptr)
        return true;

    return category == outputEqPresetCategory && isEffect (*limiter, presetLimiter) &&
           holdsLimiterValues (*limiter) && getNextEffect (*limiter) == nullptr;
}

namespace
{
std::unique_ptr<juce::XmlElement> presetFrom (SavedFileContents contents, int category)
{
    if (contents.result != SavedFileResult::ok)
        return nullptr;

    auto document = std::move (contents.document);

    if (document->getTagName() == legacyTag)
    {
        auto effect = convertLegacyEqPreset (*document, category);
        if (effect == nullptr)
            return nullptr;
        document = wrapInCorvadineDocument (*effect, document->getStringAttribute ("Name"));
    }

    if (!isUsableEqPreset (*document, category))
        return nullptr;

    return document;
}
} // namespace

std::unique_ptr<juce::XmlElement> readEqPresetFile (const juce::MemoryBlock& wholeFile, int category)
{
    return presetFrom (readSavedFile (wholeFile), category);
}

std::unique_ptr<juce::XmlElement> readEqPresetFile (const juce::File& file, int category)
{
    return presetFrom (readSavedFile (file), category);
}
