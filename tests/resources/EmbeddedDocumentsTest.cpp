#include <gtest/gtest.h>
#include "document/ParameterLibrary.h"
#include "document/PresetLibrary.h"
#include "resources/EmbeddedDocuments.h"
#include "ResourceTestSupport.h"

#include <cstring>
#include <map>
#include <set>

using namespace ResourceTestSupport;

namespace
{
const char declaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

juce::StringArray namesOf (const juce::OwnedArray<juce::XmlElement>& list, const char* attribute = "Name")
{
    juce::StringArray names;
    for (auto* document : list)
        names.add (document->getStringAttribute (attribute));
    return names;
}

std::vector<int> idsOf (const juce::OwnedArray<juce::XmlElement>& list)
{
    std::vector<int> ids;
    for (auto* document : list)
        ids.push_back (document->getIntAttribute ("Id"));
    return ids;
}

std::vector<int> parameterIds (const juce::XmlElement& element)
{
    std::vector<int> ids;
    for (auto* parameter : childrenWithTag (element, "PARAMETER"))
        ids.push_back (parameter->getIntAttribute ("Id", -1));
    return ids;
}

std::vector<int> range (int first, int count)
{
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back (first + i);
    return values;
}

// Every element below the given one, the element itself included, with its parent.
using Elements = std::vector<std::pair<const juce::XmlElement*, const juce::XmlElement*>>;

void collect (const juce::XmlElement& element, Elements& all, const juce::XmlElement* parent = nullptr)
{
    all.push_back ({ &element, parent });
    for (auto* child : element.getChildIterator())
        collect (*child, all, &element);
}

Elements everyElement (const PresetLibrary& library)
{
    Elements all;
    for (int category = 0; category < PresetLibrary::numCategories; ++category)
        if (auto* list = library.getList ((juce::uint8)category))
            for (auto* document : *list)
                collect (*document, all);
    for (int family = 0; library.getElement (family) != nullptr; ++family)
        collect (*library.getElement (family), all);
    return all;
}

std::string format (int row, int step)
{
    char text[64];
    EXPECT_EQ (formatParameterValue (getEqBandTable(), row, step, 0, text, (int)sizeof (text)), 0);
    return text;
}
} // namespace

TEST (EmbeddedDocuments, TableHoldsTheDocumentsInCategoryOrder)
{
    const int expected[][2] = { { 0, 7 },  { 1, 3 }, { 2, 4 }, { 3, 2 }, { 4, 12 },
                                { 5, 15 }, { 6, 4 }, { 7, 1 }, { 8, 4 }, { 9, 60 } };
    auto* row = getEmbeddedDocumentTable();

    for (auto& group : expected)
        for (int i = 0; i < group[1]; ++i, ++row)
        {
            ASSERT_NE (row->text, nullptr);
            EXPECT_EQ (row->category, group[0]);
            ASSERT_GT (row->length, (int)sizeof (declaration));
            EXPECT_EQ (std::strncmp (row->text, declaration, sizeof (declaration) - 1), 0);
            // The length covers the whole text and nothing beyond it.
            EXPECT_EQ ((int)std::strlen (row->text), row->length);
        }

    EXPECT_EQ (row->text, nullptr);
    EXPECT_EQ (row->length, 0);
    EXPECT_EQ (row->category, -1);
}

TEST (EmbeddedDocuments, EveryTextParsesWithoutError)
{
    for (auto* row = getEmbeddedDocumentTable(); row->text != nullptr; ++row)
    {
        juce::XmlDocument document (juce::String::fromUTF8 (row->text, row->length));
        auto root = document.getDocumentElement();
        EXPECT_NE (root, nullptr);
        EXPECT_TRUE (document.getLastParseError().isEmpty()) << document.getLastParseError();
    }

    PresetLibrary library;
    EXPECT_EQ (library.getNumUnparsedDocuments(), 0);
}

TEST (EmbeddedDocuments, ExampleApplicationsAndTemplates)
{
    juce::SharedResourcePointer<PresetLibrary> library;
    auto& examples = *library->getList (0);
    ASSERT_EQ (examples.size(), 7);

    const char* titles[] = { "ZELTA Default",     "ZELTA M Default",  "ZELTA 70 Default",  "Meeting Rooms",
                             "Retail/Commercial", "Two Mono Sources", "Two Stereo Sources" };
    const int revisions[] = { 764, 764, 764, 582, 582, 582, 582 };
    const int devices[] = { 1, 1, 1, 2, 2, 1, 1 };
    const char* models[] = { "ZELTA", "ZELTA M", "ZELTA 70" };

    for (int i = 0; i < 7; ++i)
    {
        auto& application = *examples[i];
        EXPECT_TRUE (application.hasTagName ("Application"));
        // The four texts stand first, in this order.
        ASSERT_GE (application.getNumChildElements(), 4);
        EXPECT_EQ (application.getChildElement (0)->getTagName(), "Title");
        EXPECT_EQ (application.getChildElement (1)->getTagName(), "Author");
        EXPECT_EQ (application.getChildElement (2)->getTagName(), "Description");
        EXPECT_EQ (application.getChildElement (3)->getTagName(), "SvnRevision");
        EXPECT_EQ (application.getChildElementAllSubText ("Title", {}), titles[i]);
        EXPECT_EQ (application.getChildElementAllSubText ("Author", {}), "Quenbrel");
        EXPECT_FALSE (application.getChildElementAllSubText ("Description", {}).isEmpty());
        EXPECT_EQ (application.getChildElementAllSubText ("SvnRevision", {}).getIntValue(), revisions[i]);

        auto list = childrenWithTag (application, "Device");
        ASSERT_EQ ((int)list.size(), devices[i]) << titles[i];
        for (auto* device : list)
        {
            // Only the first three name their family; the older ones are read as "ZELTA M".
            if (i < 3)
                EXPECT_EQ (device->getStringAttribute ("model"), models[i]);
            else
                EXPECT_FALSE (device->hasAttribute ("model"));
            EXPECT_EQ (childrenWithTag (*device, "CORVADINE").size(), 1u);
        }
    }

    for (int family = 0; family < 3; ++family)
    {
        auto* device = library->getElement (family);
        ASSERT_NE (device, nullptr);
        EXPECT_TRUE (device->hasTagName ("Device"));
        EXPECT_EQ (device->getStringAttribute ("name"), models[family]);
        EXPECT_EQ (device->getStringAttribute ("model"), models[family]);
    }
    EXPECT_EQ (library->getElement (3), nullptr);
}

TEST (EmbeddedDocuments, EqInputMatrixAndControlPresets)
{
    PresetLibrary library;
    const juce::StringArray eqNames{ "Flat", "Low Cut", "High Cut", "SUB" };
    const std::vector<int> oneToFour{ 1, 2, 3, 4 };

    auto& outputEq = *library.getList (2);
    EXPECT_EQ (namesOf (outputEq), eqNames);
    EXPECT_EQ (idsOf (outputEq), oneToFour);
    for (auto* preset : outputEq)
    {
        ASSERT_EQ (preset->getNumChildElements(), 2);
        EXPECT_EQ (preset->getChildElement (0)->getStringAttribute ("Name"), "EQ1 Preset");
        auto* limiter = preset->getChildElement (1);
        EXPECT_EQ (limiter->getStringAttribute ("Name"), "Apm1 Preset");
        EXPECT_EQ (parameterIds (*limiter), (std::vector<int>{ 7, 4 }));
        EXPECT_EQ (limiter->getChildElement (1)->getStringAttribute ("Name"), "R Out");
    }

    auto& inputEq = *library.getList (6);
    EXPECT_EQ (namesOf (inputEq), eqNames);
    EXPECT_EQ (idsOf (inputEq), oneToFour);
    for (auto* preset : inputEq)
    {
        ASSERT_EQ (preset->getNumChildElements(), 1);
        EXPECT_EQ (preset->getChildElement (0)->getStringAttribute ("Name"), "PEQ1 Preset");
        EXPECT_EQ (preset->getChildElement (0)->getIntAttribute ("Id"), 12);
    }

    auto& inputs = *library.getList (3);
    EXPECT_EQ (namesOf (inputs), juce::StringArray ({ "Line", "Vocal 100Hz CUT" }));
    EXPECT_EQ (idsOf (inputs), (std::vector<int>{ 1, 2 }));
    for (auto* preset : inputs)
    {
        auto* router = effectById (*preset, 0);
        ASSERT_NE (router, nullptr);
        EXPECT_EQ (router->getStringAttribute ("Name"), "Router Preset");
        ASSERT_EQ (router->getNumChildElements(), 1);
        EXPECT_EQ (router->getChildElement (0)->getStringAttribute ("Name"), "Input Gain 1");
        ASSERT_NE (effectById (*preset, 12), nullptr);
        EXPECT_EQ (effectById (*preset, 12)->getStringAttribute ("Name"), "PEQ1 Preset");
    }

    auto& matrix = *library.getList (4);
    const char* matrixNames[] = { "Default",    "Mono 1",     "Mono 2",     "Mono 3",
                                  "Mono 4",     "Mono 1+2",   "Mono 3+4",   "Mono All",
                                  "Stereo 1/2", "Stereo 3/4", "Stereo Mix", "Mute" };
    const int minimum[][2] = { { 4, 4 }, { 1, 1 }, { 2, 1 }, { 3, 1 }, { 4, 1 }, { 2, 1 },
                               { 4, 1 }, { 4, 1 }, { 2, 2 }, { 4, 2 }, { 4, 2 }, { 1, 1 } };
    ASSERT_EQ (matrix.size(), 12);
    for (int i = 0; i < 12; ++i)
    {
        EXPECT_EQ (matrix[i]->getStringAttribute ("Name"), matrixNames[i]);
        EXPECT_EQ (matrix[i]->getIntAttribute ("Id"), i + 1);
        EXPECT_EQ (matrix[i]->getIntAttribute ("MinInChs"), minimum[i][0]);
        EXPECT_EQ (matrix[i]->getIntAttribute ("MinOutChs"), minimum[i][1]);
        ASSERT_EQ (matrix[i]->getNumChildElements(), 1);
        auto* effect = matrix[i]->getChildElement (0);
        EXPECT_EQ (effect->getStringAttribute ("Name"), "Matrix4x4 Preset");
        EXPECT_EQ (effect->getIntAttribute ("Id"), 20);
        EXPECT_EQ (parameterIds (*effect), range (0, 16));
        EXPECT_EQ (effect->getChildElement (6)->getStringAttribute ("Name"), "In3 to Out2");
        // A preset takes no input that its minimum input count leaves out, and every output it
        // needs gets a source (outputs beyond the minimum repeat the first ones).
        for (int point = 0; point < 16; ++point)
            if ((point & 3) >= minimum[i][0] &&
                effect->getChildElement (point)->getIntAttribute ("StepValue") != -61)
                ADD_FAILURE() << matrixNames[i] << " point " << point;
        for (int output = 0; output < minimum[i][1] && i != 11; ++output)
        {
            int connected = 0;
            for (int input = 0; input < 4; ++input)
                connected +=
                    effect->getChildElement (4 * output + input)->getIntAttribute ("StepValue") > -61;
            EXPECT_GT (connected, 0) << matrixNames[i] << " output " << output + 1;
        }
    }

    // Output sets in the order of the GPI page's mask list; the modifiers target the set's outputs.
    auto& sets = *library.getList (5);
    const int masks[] = { 0x01, 0x02, 0x04, 0x08, 0x03, 0x05, 0x09, 0x06,
                          0x0A, 0x0C, 0x07, 0x0B, 0x0D, 0x0E, 0x0F };
    ASSERT_EQ (sets.size(), 15);
    EXPECT_EQ (sets[12]->getStringAttribute ("Name"), "SPK2 and OUT3 and OUT4");
    EXPECT_EQ (sets[13]->getStringAttribute ("Name"), "SPK2 and OUT3 and OUT4");
    EXPECT_EQ (sets[14]->getStringAttribute ("Name"), "SPK1 and SPK2 and OUT3 and OUT4");
    for (int i = 0; i < 15; ++i)
    {
        EXPECT_EQ (sets[i]->getIntAttribute ("Id"), i + 1);
        int targets = 0, k = 0;
        for (auto* modifier : childrenWithTag (*sets[i], "MODIFIER"))
        {
            EXPECT_EQ (modifier->getIntAttribute ("Id"), 4 + 2 * k);
            EXPECT_EQ (modifier->getStringAttribute ("Name"), "Mod " + juce::String (k + 3) + "  Preset");
            const int target = childById (*modifier, "PARAMETER", 2)->getIntAttribute ("StepValue");
            ASSERT_TRUE (target >= 13 && target <= 16);
            targets |= 1 << (target - 13);
            ++k;
        }
        EXPECT_EQ (targets, masks[i]) << "set " << i + 1;
        EXPECT_EQ (k, juce::countNumberOfBits ((juce::uint32)masks[i]));
    }

    auto& rs232 = *library.getList (7);
    ASSERT_EQ (rs232.size(), 1);
    EXPECT_EQ (rs232[0]->getStringAttribute ("Name"), "RS232_MODIFIERS");
    std::vector<int> rs232Ids, sources;
    for (auto* modifier : childrenWithTag (*rs232[0], "MODIFIER"))
    {
        rs232Ids.push_back (modifier->getIntAttribute ("Id"));
        sources.push_back (modifier->getChildElement (0)->getIntAttribute ("StepValue"));
    }
    EXPECT_EQ (rs232Ids, (std::vector<int>{ 4, 6, 8, 10 }));
    for (int source : sources)
        EXPECT_TRUE (source >= 6 && source <= 10);

    auto& switching = *library.getList (8);
    EXPECT_EQ (namesOf (switching),
               juce::StringArray ({ "Stereo: Mute , 1/2 , 3/4", "Stereo: Mute , 1/2 , Mix , 3/4",
                                    "Mono: Mute , 1+2 , All , 3+4", "Mono: 1 , 2 , 3 , 4" }));
    for (auto* preset : switching)
    {
        std::vector<int> ids;
        for (auto* modifier : childrenWithTag (*preset, "MODIFIER"))
            ids.push_back (modifier->getIntAttribute ("Id"));
        std::vector<int> expectedIds;
        for (int id = 16; id <= 46; id += 2)
            expectedIds.push_back (id);
        EXPECT_EQ (ids, expectedIds);
        EXPECT_EQ (preset->getNumChildElements(), 16);
    }
}

TEST (EmbeddedDocuments, SpeakerPresets)
{
    PresetLibrary library;
    auto& speakers = *library.getList (9);
    ASSERT_EQ (speakers.size(), 60);

    EXPECT_EQ (speakers[0]->getStringAttribute ("Name"), "Flat");
    EXPECT_EQ (speakers[0]->getIntAttribute ("Id"), 1);

    const char* generic[] = { "Large Full Range 40Hz",
                              "Large Full Range 60Hz",
                              "Large Full Range 80Hz",
                              "Medium Full Range 80Hz",
                              "Medium Full Range 100Hz",
                              "Small Full Range 100Hz",
                              "Small Full Range 120Hz",
                              "SUB 80Hz",
                              "SUB 100Hz",
                              "SUB 120Hz" };
    std::set<int> genericIds;
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_EQ (speakers[50 + i]->getStringAttribute ("Name"), generic[i]);
        genericIds.insert (speakers[50 + i]->getIntAttribute ("Id"));
    }
    EXPECT_EQ (genericIds, (std::set<int>{ 16, 17, 18, 19, 20, 21, 22, 23, 24, 25 }));

    std::set<int> ids;
    std::set<juce::String> names;
    int full = 0, eqOnly = 0;
    const juce::StringArray fourEffects{ "EQ1 Preset", "Apm1 Preset", "QMX1 Preset", "SingleBand1 Preset" };
    for (auto* preset : speakers)
    {
        const int id = preset->getIntAttribute ("Id");
        EXPECT_TRUE (id >= 1 && id <= 65) << id;
        EXPECT_TRUE (ids.insert (id).second) << "Id " << id << " twice";
        EXPECT_FALSE (preset->getStringAttribute ("Name").isEmpty());
        EXPECT_TRUE (names.insert (preset->getStringAttribute ("Name")).second);

        juce::StringArray effects;
        for (auto* effect : preset->getChildIterator())
            effects.add (effect->getStringAttribute ("Name"));
        if (effects == fourEffects)
        {
            ++full;
            EXPECT_EQ (parameterIds (*preset->getChildElement (1)), std::vector<int>{ 7 });
            EXPECT_EQ (parameterIds (*preset->getChildElement (2)), range (0, 46));
            EXPECT_EQ (parameterIds (*preset->getChildElement (3)), range (0, 4));
        }
        else if (effects == juce::StringArray ("EQ1 Preset"))
            ++eqOnly;
        else
            ADD_FAILURE() << preset->getStringAttribute ("Name") << ": " << effects.joinIntoString (", ");
        EXPECT_EQ (parameterIds (*preset->getChildElement (0)), range (0, 16));
    }
    EXPECT_EQ (full, 52);
    EXPECT_EQ (eqOnly, 8);
}

TEST (EmbeddedDocuments, ElementsFollowTheNumberingRules)
{
    PresetLibrary library;
    for (auto [element, parent] : everyElement (library))
    {
        if (element->hasTagName ("PARAMETER"))
        {
            // Name first, Id second: the effect merge reads them by position.
            ASSERT_GE (element->getNumAttributes(), 3);
            EXPECT_EQ (element->getAttributeName (0), "Name");
            EXPECT_EQ (element->getAttributeName (1), "Id");
            EXPECT_TRUE (element->hasAttribute ("StepValue"));
            continue;
        }
        const auto name = element->getStringAttribute ("Name");
        const auto ids = parameterIds (*element);
        if (element->hasTagName ("EFFECT") && name.startsWith ("Apm"))
            EXPECT_EQ (ids.front(), 7) << name;
        else if (element->hasTagName ("MODIFIER"))
        {
            EXPECT_EQ (ids, range (0, 13)) << name;
            EXPECT_EQ (element->getIntAttribute ("Id") % 2, 0) << name;
        }
        else if (element->hasTagName ("CONTROLS"))
            EXPECT_EQ (ids, range (1, 3));
        else if (element->hasTagName ("EFFECT") && !ids.empty() && element->hasAttribute ("Id"))
        {
            EXPECT_EQ (element->getAttributeName (0), "Name");
            EXPECT_EQ (element->getAttributeName (1), "Id");
            // Matrix steps inside a MATRIXMOD continue the numbering of the whole element.
            if (!parent->hasTagName ("MATRIXMOD"))
                EXPECT_EQ (ids, range (0, (int)ids.size())) << name;
        }
        else if (element->hasTagName ("MATRIXMOD"))
        {
            std::vector<int> flattened;
            for (auto* effect : element->getChildIterator())
                for (int id : parameterIds (*effect))
                    flattened.push_back (id);
            EXPECT_EQ (flattened, range (0, 73));
        }
    }
}

TEST (EmbeddedDocuments, EqValuesShowWhatTheParameterLibraryFormats)
{
    PresetLibrary library;
    resetSiPrefixes();
    int checked = 0;
    for (auto [element, parent] : everyElement (library))
    {
        const auto name = element->getStringAttribute ("Name");
        const bool eq = element->hasTagName ("EFFECT") && (name.startsWith ("EQ") || name.startsWith ("PEQ"));
        const bool singleBand = element->hasTagName ("EFFECT") && name.startsWith ("SingleBand");
        if (!eq && !singleBand)
            continue;

        ASSERT_EQ (element->getNumChildElements(), eq ? 16 : 4) << name;
        for (int row = 0; row < element->getNumChildElements(); ++row)
        {
            auto* parameter = element->getChildElement (row);
            const int step = parameter->getIntAttribute ("StepValue");
            int low = 0, high = 0;
            ASSERT_EQ (getParameterMin (getEqBandTable(), row, low), 0);
            ASSERT_EQ (getParameterMax (getEqBandTable(), row, high), 0);
            EXPECT_TRUE (step >= low && step <= high) << name << " row " << row << " step " << step;
            if (eq)
            {
                const juce::StringArray kinds{ "Type", "Gain", "Freq", "Width" };
                EXPECT_EQ (parameter->getStringAttribute ("Name"),
                           juce::String (row / 4 + 1) + ": " + kinds[row % 4]);
                EXPECT_EQ (parameter->getStringAttribute ("DisplayValue").toStdString(), format (row, step))
                    << name << " row " << row;
            }
            else if (row != 1)
            {
                // The single band shows its gain in whole decibels, as the output page writes it.
                EXPECT_EQ (parameter->getStringAttribute ("DisplayValue").toStdString(), format (row, step));
            }
            ++checked;
        }
    }
    EXPECT_GT (checked, 1000);
}
