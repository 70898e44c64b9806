#include "editors/EqPresetFiles.h"

#include "document/ApplicationsFolder.h"
#include "document/ProgramRevision.h"
#include "document/SavedFileFormat.h"
#include "document/SettingsDocument.h"
#include "editors/EqValueText.h"

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
    if (category == inputEqPresetCategory)
    {
        effect.setAttribute ("Name", "PEQ1 Preset");
        effect.setAttribute ("Id", 12);
    }
    else if (category == outputEqPresetCategory)
    {
        effect.setAttribute ("Name", "EQ1 Preset");
        effect.setAttribute ("Id", 22);
    }
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
    if (!isEqPresetEffect (category, document))
        return false;

    // The dialog takes the parameters by position: nothing else may sit among them.
    int parameters = 0;
    for (auto* child = getFirstChildEffect (*getFirstChildEffect (document)); child != nullptr;
         child = getNextEffect (*child), ++parameters)
        if (!child->hasTagName ("PARAMETER"))
            return false;

    return parameters == numEqBandParameters;
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
