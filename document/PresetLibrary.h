#pragma once

#include <juce_core/juce_core.h>
#include "resources/EmbeddedDocuments.h"

// The embedded XML documents parsed once into their ten categories. The lists
// never change after construction; users copy what they want to change.
// Shared through juce::SharedResourcePointer<PresetLibrary>.
class PresetLibrary
{
public:
    static constexpr int numCategories = 10;
    static constexpr int deviceTemplateCategory = 1;

    // Parses the program's embedded table.
    PresetLibrary();
    // Parses the given table (ended by a row with a null text); tests build their own.
    explicit PresetLibrary (const EmbeddedDocument* table);

    // Documents of categories 0 and 2 to 9; null for 1 and anything above 9.
    const juce::OwnedArray<juce::XmlElement>* getList (juce::uint8 category) const;

    // The device template of a family id (0 "ZELTA", 1 "ZELTA M", 2 "ZELTA 70"); null otherwise.
    const juce::XmlElement* getElement (int index) const;

    // Documents of the table that did not parse; none for the program's own table.
    int getNumUnparsedDocuments() const { return unparsedDocuments; }

private:
    void parseTable (const EmbeddedDocument* table);

    juce::OwnedArray<juce::XmlElement> lists[numCategories];
    int unparsedDocuments = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetLibrary)
};
