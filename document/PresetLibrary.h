#pragma once

#include <juce_core/juce_core.h>
#include "resources/EmbeddedDocuments.h"

// The embedded XML documents parsed into their ten categories. The example
// applications and device templates are parsed at construction, since start-up
// shows them; every other category is parsed on its first request, so that the
// window does not wait for presets no page has asked for yet. A list never
// changes once parsed; users copy what they want to change.
// Shared through juce::SharedResourcePointer<PresetLibrary>.
class PresetLibrary
{
public:
    static constexpr int numCategories = 10;
    static constexpr int exampleCategory = 0;
    static constexpr int deviceTemplateCategory = 1;

    // Parses the program's embedded table.
    PresetLibrary();
    // Parses the given table (ended by a row with a null text); tests build their own.
    explicit PresetLibrary (const EmbeddedDocument* table);

    // Documents of categories 0 and 2 to 9; null for 1 and anything above 9.
    const juce::OwnedArray<juce::XmlElement>* getList (juce::uint8 category) const;

    // The device template of a family id (0 "ZELTA", 1 "ZELTA M", 2 "ZELTA 70"); null otherwise.
    const juce::XmlElement* getElement (int index) const;

    // Documents of the table that did not parse, or whose category is not 0 to 9;
    // none for the program's own table. Parses every category.
    int getNumUnparsedDocuments() const;

    // Parses the categories not parsed yet, so that no later request waits for it:
    // the program does this on a thread of its own while it starts.
    void parseAllCategories() const;

private:
    const juce::OwnedArray<juce::XmlElement>& getParsedCategory (int category) const;

    const EmbeddedDocument* const table;

    // Lazily filled; the lock makes a first request from any thread safe.
    juce::CriticalSection parseLock;
    mutable juce::OwnedArray<juce::XmlElement> lists[numCategories];
    mutable bool parsed[numCategories] = {};
    mutable int unparsedDocuments = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetLibrary)
};
