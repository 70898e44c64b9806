#include <gtest/gtest.h>
#include "document/DeviceFamily.h"

namespace
{
void expectRow (const DeviceFamily& family, const char* name, int id, int inputs, int outputs, int gpis,
                int gpos)
{
    EXPECT_EQ (family.name, name);
    EXPECT_EQ (family.id, id);
    EXPECT_EQ (family.inputs, inputs);
    EXPECT_EQ (family.outputs, outputs);
    EXPECT_EQ (family.gpis, gpis);
    EXPECT_EQ (family.gpos, gpos);
}

void expectEmptyRow (const DeviceFamily& family)
{
    expectRow (family, "", 0, 0, 0, 0, 0);
}

// The matrix presets with their minimum channel counts, as the program ships them,
// plus documents of other categories that must never be taken.
#define MATRIX_PRESET(name, minIn, minOut)                                                                   \
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><CORVADINE Name=\"" name "\" MinInChs=\"" #minIn              \
    "\" MinOutChs=\"" #minOut "\"><EFFECT Name=\"Matrix4x4 Preset\" Id=\"20\"/></CORVADINE>"

const char* const matrixPresets[] = {
    MATRIX_PRESET ("Default", 4, 4),    MATRIX_PRESET ("Mono 1", 1, 1),
    MATRIX_PRESET ("Mono 2", 2, 1),     MATRIX_PRESET ("Mono 3", 3, 1),
    MATRIX_PRESET ("Mono 4", 4, 1),     MATRIX_PRESET ("Mono 1+2", 2, 1),
    MATRIX_PRESET ("Mono 3+4", 4, 1),   MATRIX_PRESET ("Mono All", 4, 1),
    MATRIX_PRESET ("Stereo 1/2", 2, 2), MATRIX_PRESET ("Stereo 3/4", 4, 2),
    MATRIX_PRESET ("Stereo Mix", 4, 2), MATRIX_PRESET ("Mute", 1, 1),
};
const char unlimitedPreset[] = "<CORVADINE Name=\"Anywhere\"/>";
const char otherCategory[] = "<CORVADINE Name=\"Not a matrix\" MinInChs=\"0\" MinOutChs=\"0\"/>";

EmbeddedDocument row (const char* text, int category)
{
    return { text, (int)std::strlen (text), category };
}

std::vector<EmbeddedDocument> matrixTable (bool withUnlimited)
{
    std::vector<EmbeddedDocument> table;
    table.push_back (row (otherCategory, 5));
    for (auto* text : matrixPresets)
        table.push_back (row (text, 4));
    if (withUnlimited)
        table.push_back (row (unlimitedPreset, 4));
    table.push_back (row (otherCategory, 2));
    table.push_back ({ nullptr, 0, -1 });
    return table;
}

juce::StringArray names (const juce::OwnedArray<juce::XmlElement>& presets)
{
    juce::StringArray result;
    for (auto* preset : presets)
        result.add (preset->getStringAttribute ("Name"));
    return result;
}
} // namespace

TEST (DeviceFamily, RowsById)
{
    expectRow (DeviceFamily::fromId (0), "ZELTA", 0, 2, 2, 2, 1);
    expectRow (DeviceFamily::fromId (1), "ZELTA M", 1, 4, 4, 2, 1);
    expectRow (DeviceFamily::fromId (2), "ZELTA 70", 2, 2, 1, 2, 1);
    expectEmptyRow (DeviceFamily::fromId (3));
    expectEmptyRow (DeviceFamily::fromId (-1));

    EXPECT_TRUE (DeviceFamily::isValidId (0));
    EXPECT_TRUE (DeviceFamily::isValidId (2));
    EXPECT_FALSE (DeviceFamily::isValidId (3));
    EXPECT_FALSE (DeviceFamily::isValidId (-1));
}

TEST (DeviceFamily, RowsByExactName)
{
    for (int id = 0; id < DeviceFamily::numFamilies; ++id)
    {
        const auto name = DeviceFamily::fromId (id).name;
        EXPECT_EQ (DeviceFamily::indexOfName (name), id);
        EXPECT_EQ (DeviceFamily::fromName (name).id, id);
        EXPECT_TRUE (DeviceFamily::exists (name));
    }

    for (auto* name : { "zelta m", "ZELTA  M", "ZELTA M ", "", "ZELTA 7" })
    {
        EXPECT_EQ (DeviceFamily::indexOfName (name), -1) << name;
        EXPECT_FALSE (DeviceFamily::exists (name)) << name;
        expectEmptyRow (DeviceFamily::fromName (name));
    }
}

TEST (DeviceFamily, OutputMaskHasOneBitPerOutput)
{
    EXPECT_EQ (DeviceFamily::fromName ("ZELTA").getOutputMask(), 3);
    EXPECT_EQ (DeviceFamily::fromName ("ZELTA M").getOutputMask(), 15);
    EXPECT_EQ (DeviceFamily::fromName ("ZELTA 70").getOutputMask(), 1);
    EXPECT_EQ (DeviceFamily::fromId (7).getOutputMask(), 0);

    DeviceFamily odd;
    odd.outputs = -2;
    EXPECT_EQ (odd.getOutputMask(), 0);
}

TEST (MatrixPresets, OnlyPresetsThatFitTheChannelCounts)
{
    auto table = matrixTable (false);
    PresetLibrary library (table.data());
    ASSERT_EQ (library.getNumUnparsedDocuments(), 0);

    EXPECT_EQ (names (collectMatrixPresets (2, 2, library)),
               juce::StringArray ("Mono 1", "Mono 2", "Mono 1+2", "Stereo 1/2", "Mute"));
    EXPECT_EQ (names (collectMatrixPresets (2, 1, library)),
               juce::StringArray ("Mono 1", "Mono 2", "Mono 1+2", "Mute"));
    EXPECT_EQ (collectMatrixPresets (4, 4, library).size(), 12);
    EXPECT_EQ (names (collectMatrixPresets (4, 4, library))[0], "Default");
    EXPECT_TRUE (collectMatrixPresets (0, 0, library).isEmpty());
    // Both counts must fit.
    EXPECT_EQ (names (collectMatrixPresets (4, 1, library)),
               juce::StringArray ("Mono 1", "Mono 2", "Mono 3", "Mono 4", "Mono 1+2", "Mono 3+4", "Mono All",
                                  "Mute"));
    EXPECT_EQ (names (collectMatrixPresets (1, 4, library)), juce::StringArray ("Mono 1", "Mute"));
}

TEST (MatrixPresets, PresetsWithoutMinimumsFitEveryDevice)
{
    auto table = matrixTable (true);
    PresetLibrary library (table.data());

    EXPECT_EQ (names (collectMatrixPresets (0, 0, library)), juce::StringArray ("Anywhere"));
    EXPECT_EQ (collectMatrixPresets (4, 4, library).size(), 13);
}

TEST (MatrixPresets, CopiesBelongToTheCaller)
{
    auto table = matrixTable (false);
    PresetLibrary library (table.data());

    {
        auto presets = collectMatrixPresets (1, 1, library);
        ASSERT_EQ (presets.size(), 2);
        EXPECT_NE (presets[0], (*library.getList (4))[1]);
        presets[0]->setAttribute ("Name", "Changed");
        presets[0]->deleteAllChildElements();
    }

    auto* original = (*library.getList (4))[1];
    EXPECT_EQ (original->getStringAttribute ("Name"), "Mono 1");
    EXPECT_EQ (original->getNumChildElements(), 1);
}
