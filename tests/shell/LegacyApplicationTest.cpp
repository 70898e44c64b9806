#include "document/SettingsDocument.h"
#include "editors/ControlComponent.h"
#include "shell/ApplicationListEntry.h"
#include "tests/editors/ControlTestSupport.h"
#include "tests/shell/MainContentTestSupport.h"

using namespace maintest;

namespace
{
// An application of the given revision whose devices keep their GPI settings in
// the legacy form: function and second choice of GPI 1, then of GPI 2.
juce::String legacyApplication (int revision, const juce::String& combos, const juce::String& model = {})
{
    return "<Application><Title>Old</Title><SvnRevision>" + juce::String (revision) +
           "</SvnRevision><Device name=\"a\"" +
           (model.isEmpty() ? juce::String() : " model=\"" + model + "\"") + "><ControlSelection>" + combos +
           "</ControlSelection><CORVADINE><CONTROLS Name=\"Controls\" Id=\"0\">"
           "<PARAMETER Name=\"GPI1 Function\" Id=\"1\" DisplayValue=\"ADC\" StepValue=\"0\"/>"
           "<PARAMETER Name=\"GPI2 Function\" Id=\"2\" DisplayValue=\"ADC\" StepValue=\"0\"/></CONTROLS>"
           "<MODIFIER Name=\"Mod 3 Preset\" Id=\"4\"><PARAMETER Name=\"Source\" Id=\"0\" "
           "StepValue=\"2\"/></MODIFIER>"
           "<MODIFIER Name=\"Mod 21 Preset\" Id=\"42\"><PARAMETER Name=\"Source\" Id=\"0\" StepValue=\"0\"/>"
           "</MODIFIER></CORVADINE></Device></Application>";
}

juce::String combo (int id, int selId)
{
    return "<ComboBox id=\"" + juce::String (id) + "\" SelId=\"" + juce::String (selId) + "\"/>";
}

class LegacyApplicationTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
    juce::File folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("legacy", "");

    LegacyApplicationTest() { folder.createDirectory(); }
    ~LegacyApplicationTest() override { folder.deleteRecursively(); }

    std::unique_ptr<ApplicationListEntry> read (const juce::String& text)
    {
        auto file = writeFile (folder.getNonexistentChildFile ("app", ".sapl"), scrambled (text));
        return std::make_unique<ApplicationListEntry> (file);
    }
};
} // namespace

TEST_F (LegacyApplicationTest, OnlyRevisions415To529AreMigratedOnLoad)
{
    const auto combos = combo (0, 2) + combo (1, 13) + combo (2, 3) + combo (3, 2);

    EXPECT_EQ (read (legacyApplication (414, combos))->getApplication(), nullptr);

    for (int revision : { 415, 529 })
    {
        auto entry = read (legacyApplication (revision, combos));
        ASSERT_NE (entry->getApplication(), nullptr) << revision;
        EXPECT_TRUE (entry->isConverted());
        auto* device = entry->getApplication()->getChildByName ("Device");
        auto* gpi2 = device->getChildByName ("ControlSelection")->getChildByName ("GPI2");
        ASSERT_NE (gpi2, nullptr) << revision;
        EXPECT_EQ (findChildById (*gpi2, "ComboBox", 2)->getIntAttribute ("SelId"), 4);
        EXPECT_EQ (findChildById (*gpi2, "ComboBox", 8)->getIntAttribute ("SelId"), 9);
        auto* corvadine = device->getChildByName ("CORVADINE");
        EXPECT_EQ (findChildById (*corvadine, "MODIFIER", 4), nullptr) << revision;
        EXPECT_NE (findChildById (*corvadine, "MODIFIER", 42), nullptr) << revision;
    }

    // A present-revision file is taken as it stands; the page migrates it when built.
    auto entry = read (legacyApplication (530, combos));
    auto* controlSelection =
        entry->getApplication()->getChildByName ("Device")->getChildByName ("ControlSelection");
    EXPECT_EQ (controlSelection->getNumChildElements(), 4);
    EXPECT_FALSE (entry->isConverted());
}

TEST_F (LegacyApplicationTest, TheControlPageShowsTheMigratedSettings)
{
    PresetLibrary library;
    struct Case
    {
        const char* model;
        juce::String combos;
        int function1, set1, function2, set2;
    };
    // Duplicated children: the first counts. Missing: No Function. Out of range: No Function.
    for (const auto& c :
         { Case{ "", combo (0, 2) + combo (1, 14) + combo (2, 4), 1, 15, 3, 1 },
           Case{ "ZELTA", combo (0, 3) + combo (0, 2) + combo (2, 2) + combo (3, 1), 2, 3, 1, 1 },
           Case{ "ZELTA 70", combo (0, 2) + combo (1, 13), 1, 1, 0, 1 },
           Case{ "ZELTA", combo (0, 77) + combo (2, -3) + "<ComboBox id=\"9\"/>", 0, 1, 0, 1 } })
    {
        auto entry = read (legacyApplication (500, c.combos, c.model));
        ASSERT_NE (entry->getApplication(), nullptr);
        auto* device = entry->getApplication()->getChildByName ("Device");
        const auto family = DeviceFamily::fromName (juce::String (c.model).isEmpty() ? "ZELTA M" : c.model);

        ControlComponent page (device, &library, family);
        controltest::settle();

        const auto setOf = [&] (int index)
        {
            auto& gpi = page.getGpi (index);
            const auto* id = gpi.getFunctionIndex() == GPIComponent::outputLevel ? "outputSet" : "sourceSet";
            return dynamic_cast<juce::ComboBox*> (gpi.findChildWithID (id))->getSelectedId();
        };
        EXPECT_EQ (page.getGpi (0).getFunctionIndex(), c.function1) << c.combos;
        EXPECT_EQ (setOf (0), c.set1) << c.combos;
        EXPECT_EQ (page.getGpi (1).getFunctionIndex(), c.function2) << c.combos;
        EXPECT_EQ (setOf (1), c.set2) << c.combos;
        EXPECT_FALSE (page.isModified()) << "the loader migrated it already";
    }
}
