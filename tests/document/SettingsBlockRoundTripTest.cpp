#include <gtest/gtest.h>
#include <vector>
#include "document/CorvadineXmlToSyx.h"
#include "document/PresetLibrary.h"
#include "document/SettingsSyxToXml.h"
#include "tests/document/FullDeviceSettings.h"

namespace
{
// One value as the amplifier sees it: the tag and Id of the top-level element that holds it,
// its parameter Id and its step.
struct Value
{
    juce::String tag;
    int elementId;
    int parameterId;
    int step;

    bool operator== (const Value& other) const
    {
        return tag == other.tag && elementId == other.elementId && parameterId == other.parameterId &&
               step == other.step;
    }
};

void PrintTo (const Value& value, std::ostream* os)
{
    *os << value.tag << " " << value.elementId << " " << value.parameterId << "=" << value.step;
}

void collectParameters (const juce::XmlElement& element, const juce::String& tag, int elementId,
                        std::vector<Value>& values)
{
    for (auto* child : element.getChildIterator())
    {
        if (child->hasTagName ("PARAMETER"))
            values.push_back ({ tag, elementId, child->getIntAttribute ("Id") & 0xff,
                                child->getIntAttribute ("StepValue") });
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

struct Block
{
    bool complete = false;
    juce::MemoryBlock bytes;
};

Block writeBlock (const juce::XmlElement& corvadine)
{
    juce::MemoryOutputStream output;
    Block block;
    block.complete = CorvadineXmlToSyx (corvadine).convertAndWrite (output);
    block.bytes = output.getMemoryBlock();
    return block;
}

std::unique_ptr<juce::XmlElement> readBlock (const juce::MemoryBlock& bytes)
{
    juce::MemoryInputStream input (bytes, false);
    return SettingsSyxToXml (input).createXml();
}

void collectSettingsDocuments (const juce::XmlElement& element, std::vector<const juce::XmlElement*>& found)
{
    if (element.hasTagName ("CORVADINE"))
        found.push_back (&element);
    else
        for (auto* child : element.getChildIterator())
            collectSettingsDocuments (*child, found);
}

// Read back and programmed again, a document must give the amplifier the very same block, and
// the pages must find every value under its parameter Id.
void expectStableRoundTrip (const juce::XmlElement& document)
{
    const auto name = document.getStringAttribute ("Name");
    const auto first = writeBlock (document);
    EXPECT_TRUE (first.complete) << name;

    auto readBack = readBlock (first.bytes);
    ASSERT_NE (readBack, nullptr) << name;
    EXPECT_EQ (carriedValues (*readBack), carriedValues (document)) << name;

    const auto second = writeBlock (*readBack);
    EXPECT_TRUE (second.complete) << name;
    EXPECT_TRUE (second.bytes == first.bytes) << name;
}
} // namespace

TEST (SettingsBlockRoundTrip, FullDeviceKeepsEveryValueIdAndLayout)
{
    auto original = FullDeviceSettings::create();
    expectStableRoundTrip (*original);

    const auto expected = carriedValues (*original);
    EXPECT_EQ (expected.size(),
               (size_t)(25 + 4 * 16 + 16 + 4 * 16 + 4 * 46 + 4 + 4 + 4 * 4 + 4 + 24 * 13 + 73 + 3));

    // Every element comes back once, in order, with its parameter Ids; the matrix modulation
    // with its nine effects.
    auto readBack = readBlock (writeBlock (*original).bytes);
    auto* restoredElement = readBack->getFirstChildElement();

    for (auto* source : original->getChildIterator())
    {
        ASSERT_NE (restoredElement, nullptr);
        EXPECT_EQ (restoredElement->getTagName(), source->getTagName());
        EXPECT_EQ (restoredElement->getStringAttribute ("Id"), source->getStringAttribute ("Id"));
        auto* restored = restoredElement->getFirstChildElement();

        for (auto* child : source->getChildIterator())
        {
            ASSERT_NE (restored, nullptr);
            EXPECT_EQ (restored->getStringAttribute ("Id", "0"), child->getStringAttribute ("Id", "0"));

            if (source->hasTagName ("MATRIXMOD"))
                EXPECT_EQ (restored->getNumChildElements(), child->getNumChildElements());

            restored = restored->getNextElement();
        }

        EXPECT_EQ (restored, nullptr);
        restoredElement = restoredElement->getNextElement();
    }

    EXPECT_EQ (restoredElement, nullptr);
}

TEST (SettingsBlockRoundTrip, ElementsSplitAtIdGapsComeBackWhole)
{
    // The output EQ presets' limiter: parameter 7, then 4, under one Id.
    auto original = juce::parseXML (R"(<CORVADINE><EFFECT Name="Apm1 Preset" Id="34">
        <PARAMETER Name="V Lim" Id="7" StepValue="400"/><PARAMETER Name="R Out" Id="4" StepValue="80"/>
        </EFFECT><EFFECT Name="Apm2 Preset" Id="36"><PARAMETER Name="V Lim" Id="7" StepValue="300"/>
        </EFFECT><EFFECT Name="Apm1 Preset" Id="34"><PARAMETER Name="V Lim" Id="7" StepValue="1"/>
        </EFFECT></CORVADINE>)");
    expectStableRoundTrip (*original);

    auto readBack = readBlock (writeBlock (*original).bytes);
    ASSERT_EQ (readBack->getNumChildElements(), 3) << "only neighbouring records are joined";
    auto* limiter = readBack->getChildElement (0);
    EXPECT_EQ (limiter->getNumChildElements(), 2);
    EXPECT_EQ (limiter->getChildElement (0)->getStringAttribute ("Id"), "7");
    EXPECT_EQ (limiter->getChildElement (1)->getStringAttribute ("Id"), "4");
    EXPECT_EQ (limiter->getChildElement (1)->getStringAttribute ("StepValue"), "80");
}

TEST (SettingsBlockRoundTrip, EveryEmbeddedSettingsDocumentGivesTheSameBlockAgain)
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
        expectStableRoundTrip (*document);
}
