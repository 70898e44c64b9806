#include "document/PresetLibrary.h"

PresetLibrary::PresetLibrary() : PresetLibrary (getEmbeddedDocumentTable()) {}

PresetLibrary::PresetLibrary (const EmbeddedDocument* tableToUse) : table (tableToUse)
{
    getParsedCategory (exampleCategory);
    getParsedCategory (deviceTemplateCategory);
}

const juce::OwnedArray<juce::XmlElement>& PresetLibrary::getParsedCategory (int category) const
{
    const juce::ScopedLock lock (parseLock);
    if (parsed[category])
        return lists[category];

    for (auto* row = table; row != nullptr && row->text != nullptr; ++row)
    {
        if (row->category != category)
            continue;

        juce::XmlDocument document (juce::String::fromUTF8 (row->text, row->length));
        std::unique_ptr<juce::XmlElement> root (document.getDocumentElement());
        // The parser is lenient with unclosed elements: a parse error rejects the text too.
        if (root != nullptr && document.getLastParseError().isEmpty())
            lists[category].add (root.release());
        else
            ++unparsedDocuments;
    }

    parsed[category] = true;
    return lists[category];
}

const juce::OwnedArray<juce::XmlElement>* PresetLibrary::getList (juce::uint8 category) const
{
    if (category == deviceTemplateCategory || category >= numCategories)
        return nullptr;
    return &getParsedCategory (category);
}

const juce::XmlElement* PresetLibrary::getElement (int index) const
{
    auto& templates = getParsedCategory (deviceTemplateCategory);
    if ((unsigned int) index >= (unsigned int) templates.size())
        return nullptr;
    return templates[index];
}

int PresetLibrary::getNumUnparsedDocuments() const
{
    int outsideCategories = 0;
    for (auto* row = table; row != nullptr && row->text != nullptr; ++row)
        if (row->category < 0 || row->category >= numCategories)
            ++outsideCategories;

    parseAllCategories();

    const juce::ScopedLock lock (parseLock);
    return unparsedDocuments + outsideCategories;
}

void PresetLibrary::parseAllCategories() const
{
    for (int category = 0; category < numCategories; ++category)
        getParsedCategory (category);
}
