#include "editors/EqPresetList.h"

#include "document/SavedFileWriter.h"
#include "editors/EqPresetFiles.h"
#include "platform/UserInteraction.h"

EqPresetList::EqPresetList (const PresetLibrary& library, int categoryToList, const juce::File& presetFolder,
                            const juce::String& fileExtension)
    : builtIns (library.getList ((juce::uint8)categoryToList)), category (categoryToList),
      folder (presetFolder), extension (fileExtension)
{
    rescan();
}

void EqPresetList::rescan()
{
    items.clear();
    foundFiles.clear();
    lastAddedIndex = 0;
    savedIndex = -1;

    for (const auto& pattern : { "*." + extension, juce::String ("*.xml") })
    {
        auto group = folder.findChildFiles (juce::File::findFiles, false, pattern);
        group.sort();
        foundFiles.addArray (group);
    }

    for (const auto& file : foundFiles)
    {
        auto preset = readEqPresetFile (file, category);
        if (preset == nullptr)
            continue;

        int index = -1;
        for (int i = 0; i < items.size() && index < 0; ++i)
            if (items[i]->isEquivalentTo (preset.get(), true))
                index = i;

        if (index < 0)
        {
            index = items.size();
            items.add (preset.release());
            lastAddedIndex = index;
        }

        if (file == lastSavedFile)
            savedIndex = index;
    }

    numUserPresets = items.size();

    if (builtIns != nullptr)
        for (auto* preset : *builtIns)
            items.add (new juce::XmlElement (*preset));
}

bool EqPresetList::savePreset (std::unique_ptr<juce::XmlElement> preset, UserInteraction& user)
{
    const bool plainText = user.isKeyCurrentlyDown (juce::KeyPress::F8Key);

    if (preset == nullptr)
        return false;

    if (!folder.isDirectory() && !folder.createDirectory().wasOk())
    {
        user.showMessage (UserInteraction::Icon::warning, "Save failed",
                          "The folder\n" + folder.getFullPathName() + "\ncould not be created.");
        return false;
    }

    const auto chosen = user.chooseFileToSave ("Save file as...", folder.getChildFile ("untitled preset"),
                                               "*." + extension, true);
    if (!chosen)
        return false;

    auto target = *chosen;
    if (target.getFileExtension().isEmpty())
        target = target.withFileExtension (extension);

    preset->setAttribute ("Name", target.getFileNameWithoutExtension());

    const auto result = writeDocumentFile (*preset, target, plainText);
    if (result != FileWriteResult::written)
    {
        user.showMessage (UserInteraction::Icon::warning, "Save failed",
                          describeWriteFailure (result, target));
        return false;
    }

    lastSavedFile = target;
    return true;
}
