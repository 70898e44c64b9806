#pragma once

#include <juce_core/juce_core.h>

#include "document/PresetLibrary.h"
#include "document/SavedFileFormat.h"

class UserInteraction;

// The presets behind the EQ dialog's chooser: the user's preset files of one
// folder, each listed once with its current content, followed by copies of the
// built-in EQ presets of the category. Also writes new preset files.
// Message thread only.
class EqPresetList
{
public:
    // Scans the folder at once. Category 6 (input EQ) or 2 (output EQ).
    EqPresetList (const PresetLibrary& library, int category, const juce::File& folder,
                  const juce::String& extension = eqPresetFileExtension);

    // Lists the folder's files again ("*.spre", then "*.xml", each group by
    // name), then the built-in presets. A file that cannot be read or holds no
    // usable preset is skipped.
    void rescan();

    // Asks for a file (F8 held at the call: plain XML), names the preset after
    // it and writes it through a temporary file. False when the user cancelled
    // or nothing was written; a failure is told to the user.
    bool savePreset (std::unique_ptr<juce::XmlElement> preset, UserInteraction& user);

    // The last file preset the scan added; 0 when none.
    int getLastAddedIndex() const noexcept { return lastAddedIndex; }
    // The preset of the file saved last, as the scan listed it; -1 when the scan
    // did not list that file (an extension it does not read, a file it cannot read).
    int getSavedPresetIndex() const noexcept { return savedIndex; }
    int getNumUserPresets() const noexcept { return numUserPresets; }
    const juce::OwnedArray<juce::XmlElement>& getItems() const noexcept { return items; }
    int getCategory() const noexcept { return category; }
    const juce::File& getFolder() const noexcept { return folder; }

private:
    juce::OwnedArray<juce::XmlElement> items;
    const juce::OwnedArray<juce::XmlElement>* const builtIns;
    juce::Array<juce::File> foundFiles;
    int lastAddedIndex = 0;
    int savedIndex = -1;
    const int category;
    const juce::File folder;
    const juce::String extension;
    int numUserPresets = 0;
    juce::File lastSavedFile;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EqPresetList)
};
