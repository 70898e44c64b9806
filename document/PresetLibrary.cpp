#include "document/PresetLibrary.h"

PresetLibrary::PresetLibrary() { parseTable (getEmbeddedDocumentTable()); }

PresetLibrary::PresetLibrary (const EmbeddedDocument* table) { parseTable (table); }

void PresetLibrary::parseTable (const EmbeddedDocument* table)
{
    for (auto* row = table; row != nullptr && row->text != nullptr; ++row)
    {
        if (row->category < 0 || row->category >= numCategories)
        {
            ++unparsedDocuments;
            continue;
        }

        juce::XmlDocument document (juce::String::fromUTF8 (row->text, row->length));
        std::unique_ptr<juce::XmlElement> root (document.getDocumentElement());
        // The parser is lenient with unclosed elements: a parse error rejects the text too.
        if (root != nullptr && document.getLastParseError().isEmpty())
            lists[row->category].add (root.release());
        else
            ++unparsedDocuments;
    }
}

const juce::OwnedArray<juce::XmlElement>* PresetLibrary::getList (juce::uint8 category) const
{
    if (category == deviceTemplateCategory || category >= numCategories)
        return nullptr;
    return &lists[category];
}

const juce::XmlElement* PresetLibrary::getElement (int index) const
{
    auto& templates = lists[deviceTemplateCategory];
    if ((unsigned int) index >= (unsigned int) templates.size())
        return nullptr;
    return templates[index];
}
