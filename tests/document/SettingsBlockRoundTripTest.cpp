#include <gtest/gtest.h>
#include <vector>
#include "document/CorvadineXmlToSyx.h"
#include "document/PresetLibrary.h"
#include "document/SettingsSyxToXml.h"
#include "tests/document/FullDeviceSettings.h"

namespace
{
// One value as the amplifier sees it: the tag and Id of the top-level element that holds it
// and its step.
struct Value
{
    juce::String tag;
    int elementId;
    int step;

    bool operator== (const Value& other) const
    {
        return tag == other.tag && elementId == other.elementId && step == other.step;
    }
};

void PrintTo (const Value& value, std::ostream* os)
{
    *os << value.tag << " " << value.elementId << " " << value.step;
}

void collectParameters (const juce::XmlElement& element, const juce::String& tag, int elementId,
                        std::vector<Value>& values)
{
    for (auto* child : element.getChildIterator())
    {
        if (child->hasTagName ("PARAMETER"))
            values.push_back ({ tag, elementId, child->getIntAttribute ("StepValue") });
        else if (tag == "MATRIXMOD")
            collectParameters (*child, tag, elementId, values);
    }
}

// The values a block carries, in order: elements of the four known tags with an Id.
std::vector<Value> carriedValues (const juce::XmlElement& corvadine)
{
    std::vector<Value> values;

    for (auto* child : corvadine.getChildIterator())
    {
        const auto& tag = child->getTagName();

        if ((tag == "EFFECT" || tag == "MODIFIER" || tag == "CONTROLS" || tag == "MATRIXMOD") &&
            child->getIntAttribute ("Id", -1) >= 0)
            collectParameters (*child, tag, child->getIntAttribute ("Id") & 0xff, values);
    }

    return values;
}

struct RoundTrip
{
    bool complete = false;
    std::unique_ptr<juce::XmlElement> document;
};

RoundTrip roundTrip (const juce::XmlElement& corvadine)
{
    CorvadineXmlToSyx writer (corvadine);
    juce::MemoryOutputStream block;
    RoundTrip result;
    result.complete = writer.convertAndWrite (block);

    juce::MemoryInputStream input (block.getData(), block.getDataSize(), false);
    SettingsSyxToXml reader (input);
    result.document = reader.createXml();
    return result;
}

void collectSettingsDocuments (const juce::XmlElement& element, std::vector<const juce::XmlElement*>& found)
{
    if (element.hasTagName ("CORVADINE"))
        found.push_back (&element);
    else
        for (auto* child : element.getChildIterator())
            collectSettingsDocuments (*child, found);
}
} // namespace

TEST (SettingsBlockRoundTrip, FullDeviceKeepsEveryValueIdAndLayout)
{
    auto original = FullDeviceSettings::create();
    auto result = roundTrip (*original);
    ASSERT_TRUE (result.complete);
    ASSERT_NE (result.document, nullptr);

    const auto expected = carriedValues (*original);
    EXPECT_EQ (expected.size(),
               (size_t)(25 + 4 * 16 + 16 + 4 * 16 + 4 * 46 + 4 + 4 + 4 * 4 + 4 + 24 * 13 + 73 + 3));
    EXPECT_EQ (carriedValues (*result.document), expected);

    // Elements numbered from 0 (CONTROLS from 1) come back with their parameter Ids, the matrix
    // modulation with its nine effects; only the Apm effects, numbered from 7, do not.
    auto* readBack = result.document->getFirstChildElement();

    for (auto* source : original->getChildIterator())
    {
        ASSERT_NE (readBack, nullptr);
        EXPECT_EQ (readBack->getTagName(), source->getTagName());
        EXPECT_EQ (readBack->getStringAttribute ("Id"), source->getStringAttribute ("Id"));

        if (!source->getStringAttribute ("Name").startsWith ("Apm"))
        {
            auto* restored = readBack->getFirstChildElement();

            for (auto* child : source->getChildIterator())
            {
                ASSERT_NE (restored, nullptr);
                EXPECT_EQ (restored->getStringAttribute ("Id", "0"), child->getStringAttribute ("Id", "0"));

                if (source->hasTagName ("MATRIXMOD"))
                    EXPECT_EQ (restored->getNumChildElements(), child->getNumChildElements());

                restored = restored->getNextElement();
            }

            EXPECT_EQ (restored, nullptr);
        }

        readBack = readBack->getNextElement();
    }

    EXPECT_EQ (readBack, nullptr);
}

TEST (SettingsBlockRoundTrip, ReadBackDocumentConvertsToTheSameBlock)
{
    auto original = FullDeviceSettings::create();
    juce::MemoryOutputStream first;
    ASSERT_TRUE (CorvadineXmlToSyx (*original).convertAndWrite (first));

    juce::MemoryInputStream input (first.getData(), first.getDataSize(), false);
    auto readBack = SettingsSyxToXml (input).createXml();

    // Only the Apm effects' first parameter ids (7) differ from what was read back (0).
    juce::MemoryOutputStream second;
    ASSERT_TRUE (CorvadineXmlToSyx (*readBack).convertAndWrite (second));
    ASSERT_EQ (first.getDataSize(), second.getDataSize());

    auto* a = static_cast<const juce::uint8*> (first.getData());
    auto* b = static_cast<const juce::uint8*> (second.getData());
    int differences = 0;

    for (size_t i = 0; i < first.getDataSize(); ++i)
        if (a[i] != b[i])
        {
            EXPECT_EQ (a[i], 7);
            EXPECT_EQ (b[i], 0);
            ++differences;
        }

    EXPECT_EQ (differences, 4);
}

TEST (SettingsBlockRoundTrip, EveryEmbeddedSettingsDocumentKeepsItsValues)
{
    PresetLibrary library;
    std::vector<const juce::XmlElement*> documents;

    for (int category = 0; category < PresetLibrary::numCategories; ++category)
        if (auto* list = library.getList ((juce::uint8)category))
            for (auto* document : *list)
                collectSettingsDocuments (*document, documents);

    for (int family = 0; library.getElement (family) != nullptr; ++family)
        collectSettingsDocuments (*library.getElement (family), documents);

    if (documents.empty())
        GTEST_SKIP() << "no embedded documents in this build";

    for (auto* document : documents)
    {
        auto result = roundTrip (*document);
        EXPECT_TRUE (result.complete) << document->getStringAttribute ("Name");
        EXPECT_EQ (carriedValues (*result.document), carriedValues (*document))
            << document->getStringAttribute ("Name");
    }
}
