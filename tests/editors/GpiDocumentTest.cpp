#include "document/SettingsDocument.h"
#include "editors/ControlSelectionMigration.h"
#include "editors/GpiModifierWriter.h"
#include "editors/MatrixModulation.h"
#include "editors/OutputSetTable.h"
#include "tests/editors/ControlTestSupport.h"

namespace
{
std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    return juce::parseXML (text);
}

juce::String modifier (int id, int source)
{
    return "<MODIFIER Name=\"m\" Id=\"" + juce::String (id) +
           "\"><PARAMETER Name=\"Source\" Id=\"0\" StepValue=\"" + juce::String (source) +
           "\"/><PARAMETER Name=\"Target\" Id=\"2\" StepValue=\"13\"/></MODIFIER>";
}

juce::StringArray modifierSummary (const juce::XmlElement& corvadine)
{
    juce::StringArray summary;
    for (auto* m : corvadine.getChildWithTagNameIterator ("MODIFIER"))
        summary.add (m->getStringAttribute ("Id") + ":" +
                     m->getFirstChildElement()->getStringAttribute ("StepValue") + ":" +
                     findChildById (*m, "PARAMETER", 2)->getStringAttribute ("StepValue"));
    return summary;
}
} // namespace

TEST (OutputSetTable, NamesMasksAndMapsFamilyEntriesIntoTheFullList)
{
    const auto four = OutputSetTable::forFamily (1), two = OutputSetTable::forFamily (0),
               one = OutputSetTable::forFamily (2);
    EXPECT_EQ (four.size(), 15);
    EXPECT_EQ (four.entryName (5), "SPK1 and OUT3");
    EXPECT_EQ (four.entryName (14), "SPK1 and SPK2 and OUT3 and OUT4");
    EXPECT_EQ (four.entryName (15), "");
    EXPECT_EQ (two.fullListIndex (2), 4); // 0x03
    EXPECT_EQ (one.fullListIndex (0), 0);
    EXPECT_EQ (two.maskAt (3), 0);
    EXPECT_EQ (two.fullListIndex (-1), -1);
}

TEST (GpiModifierWriter, GpiTwoWritesItsOwnGainsAndReusesDisabledSlots)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PresetLibrary library;
    auto* sets = library.getList (5);
    ASSERT_NE (sets, nullptr);

    // Slot 4 taken by someone else; slot 6 disabled; GPI 1 holds 8.
    auto corvadine =
        parse ("<CORVADINE>" + modifier (4, 0) + modifier (6, -1) + modifier (8, 2) + "</CORVADINE>");
    EXPECT_EQ (GpiModifierWriter::writeOutputLevel (*corvadine, 1, (*sets)[4]), // SPK1 and SPK2
               GpiModifierWriter::Result::written);
    EXPECT_EQ (modifierSummary (*corvadine).joinIntoString (" "), "4:0:13 8:2:13 6:3:17 10:3:18");

    auto* written = findChildById (*corvadine, "MODIFIER", 6);
    EXPECT_EQ (written->getStringAttribute ("Name"), "Mod 4 Preset");
    EXPECT_EQ (written->getFirstChildElement()->getStringAttribute ("DisplayValue"), "GPI 2 Pot        ");
    EXPECT_EQ (findChildById (*written, "PARAMETER", 2)->getStringAttribute ("DisplayValue"),
               "Output Gain 1D");

    // Writing the same again changes nothing, not even the order.
    const auto before = corvadine->toString();
    EXPECT_EQ (GpiModifierWriter::writeOutputLevel (*corvadine, 1, (*sets)[4]),
               GpiModifierWriter::Result::unchanged);
    EXPECT_EQ (corvadine->toString(), before);

    // Leaving Output Level disables them and keeps their Ids for the next writer.
    EXPECT_EQ (GpiModifierWriter::writeOutputLevel (*corvadine, 1, nullptr),
               GpiModifierWriter::Result::written);
    EXPECT_EQ (modifierSummary (*corvadine).joinIntoString (" "), "4:0:13 8:2:13 6:-1:17 10:-1:18");
    EXPECT_EQ (findChildById (*corvadine, "MODIFIER", 6)
                   ->getFirstChildElement()
                   ->getStringAttribute ("DisplayValue"),
               "(disabled.1)");
}

TEST (GpiModifierWriter, AFunctionThatDoesNotFitLeavesTheDocumentAsItWas)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PresetLibrary library;

    // Six of eight slots held by others, two by duplicates of a disabled Id.
    juce::String text ("<CORVADINE>");
    for (int id = 4; id <= 14; id += 2)
        text << modifier (id, 0);
    text << modifier (16, -1) << modifier (16, -1) << modifier (18, 2) << "</CORVADINE>";
    auto corvadine = parse (text);
    const auto before = corvadine->toString();

    // All four outputs need four slots; two are free (16, and 18 once GPI 1 lets go).
    for (auto mode : { GpiModifierWriter::Mode::check, GpiModifierWriter::Mode::apply })
        EXPECT_EQ (GpiModifierWriter::writeOutputLevel (*corvadine, 0, (*library.getList (5))[14], mode),
                   GpiModifierWriter::Result::noRoom);
    EXPECT_EQ (corvadine->toString(), before);

    // Two outputs fit, and the duplicated Id is given out once.
    EXPECT_EQ (GpiModifierWriter::writeOutputLevel (*corvadine, 0, (*library.getList (5))[4]),
               GpiModifierWriter::Result::written);
    EXPECT_EQ (
        modifierSummary (*corvadine).joinIntoString (" ").fromFirstOccurrenceOf ("14:0:13 ", false, false),
        "16:2:13 18:2:14");
    EXPECT_EQ (GpiModifierWriter::findFreeModifierId (*corvadine), -1);
}

TEST (MatrixModulation, IntervalsFollowTheKnobsOfTheEnabledPositions)
{
    using Values = std::array<int, 4>;
    using Enabled = std::array<bool, 4>;
    const auto bands = [] (Values v, Enabled e)
    {
        juce::StringArray text;
        for (auto interval : MatrixModulation::computeIntervals (v, e))
            text.add (juce::String (interval.lower) + ".." + juce::String (interval.upper));
        return text.joinIntoString (" ");
    };

    EXPECT_EQ (bands ({ 871, 633, 448, 175 }, { true, true, true, true }),
               "752..1023 540..751 311..539 0..310");
    EXPECT_EQ (bands ({ 1023, 0, 1023, 1023 }, { true, true, false, false }),
               "511..1023 0..510 2048..2048 2048..2048");
    EXPECT_EQ (bands ({ 871, 633, 448, 175 }, { true, true, true, false }),
               "752..1023 540..751 0..539 2048..2048");
    EXPECT_EQ (bands ({ 500, 500, 0, 0 }, { true, true, false, false }),
               "0..499 500..1023 2048..2048 2048..2048");
    EXPECT_EQ (MatrixModulation::intervalText (752), "2.4V");
    EXPECT_EQ (MatrixModulation::intervalText (2048), "6.6V");
}

TEST (MatrixModulation, GeneratesParksAndRestoresTheElementOfItsGpi)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PresetLibrary library;
    juce::XmlElement corvadine ("CORVADINE");
    MatrixModulation mod (&corvadine, 1, library.getList (4)->getFirst());

    ASSERT_EQ (mod.update (true), MatrixModulation::Change::madeLive);
    auto* live = mod.getLive();
    EXPECT_EQ (live->getStringAttribute ("Name"), "MatrixMod2");
    EXPECT_EQ (live->getIntAttribute ("Id"), 22);
    EXPECT_EQ (live->getFirstChildElement()->getFirstChildElement()->toString (
                   juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               "<PARAMETER Name=\"GPI2\" Id=\"0\" StepValue=\"3\"/>");
    juce::StringArray order;
    for (auto* effect : live->getChildIterator())
        order.add (effect->getStringAttribute ("Id", "-"));
    EXPECT_EQ (order.joinIntoString (" "), "- 1 2 3 4 5 6 7 8");
    EXPECT_EQ (mod.findStep (3)->getChildElement (0)->getIntAttribute ("Id"), 39);
    EXPECT_EQ (mod.findStep (4)->getChildElement (15)->getIntAttribute ("Id"), 72);

    mod.writeIntervals ({ 871, 633, 448, 175 }, { true, true, true, true });
    EXPECT_EQ (findChildById (*findChildById (*live, "EFFECT", 3), "PARAMETER", 20)
                   ->getStringAttribute ("DisplayValue"),
               "2.4V");

    // An edited step survives leaving and returning on the same page.
    mod.findStep (1)->getChildElement (0)->setAttribute ("StepValue", -12);
    EXPECT_EQ (mod.update (false), MatrixModulation::Change::removed);
    EXPECT_EQ (corvadine.getNumChildElements(), 0);
    EXPECT_EQ (mod.update (true), MatrixModulation::Change::madeLive);
    EXPECT_EQ (mod.findStep (1)->getChildElement (0)->getIntAttribute ("StepValue"), -12);

    // A step gone missing: a fresh element from the defaults.
    mod.getLive()->removeChildElement (mod.findStep (2), true);
    EXPECT_TRUE (mod.ensureSteps());
    EXPECT_EQ (corvadine.getNumChildElements(), 1);
    EXPECT_NE (mod.findStep (1)->getChildElement (0)->getIntAttribute ("StepValue"), -12);
}

TEST (ControlSelectionMigration, TurnsLegacyCombosIntoGpiElementsAndClearsTheGpiModifiers)
{
    auto device = parse ("<Device name=\"d\"><ControlSelection>"
                         "<ComboBox id=\"0\" SelId=\"2\"/><ComboBox id=\"1\" SelId=\"14\"/>"
                         "<ComboBox id=\"2\" SelId=\"3\"/><ComboBox id=\"3\" SelId=\"1\"/>"
                         "<ComboBox id=\"2\" SelId=\"5\"/><Other/></ControlSelection><CORVADINE>" +
                         modifier (2, 0) + modifier (4, 2) + modifier (22, 9) + modifier (40, 3) +
                         modifier (41, 3) + modifier (42, 0) + "</CORVADINE></Device>");
    migrateControlSelection (*device);

    const auto form = juce::XmlElement::TextFormat().singleLine().withoutHeader();
    EXPECT_EQ (
        device->getChildByName ("ControlSelection")->toString (form),
        "<ControlSelection><GPI1><ComboBox id=\"0\" SelId=\"2\"/><ComboBox id=\"1\" SelId=\"15\"/></GPI1>"
        "<GPI2><ComboBox id=\"0\" SelId=\"3\"/><ComboBox id=\"1\" SelId=\"15\"/><ComboBox id=\"2\" "
        "SelId=\"3\"/>"
        "<ComboBox id=\"7\" SelId=\"12\"/><ComboBox id=\"8\" SelId=\"9\"/><ComboBox id=\"9\" SelId=\"10\"/>"
        "<ComboBox id=\"10\" SelId=\"10\"/></GPI2></ControlSelection>");
    juce::StringArray ids;
    for (auto* m : device->getChildByName ("CORVADINE")->getChildIterator())
        ids.add (m->getStringAttribute ("Id"));
    EXPECT_EQ (ids.joinIntoString (" "), "2 41 42");

    // Migrating again finds the present form and keeps it.
    const auto migrated = device->toString();
    migrateControlSelection (*device);
    EXPECT_EQ (device->toString(), migrated);
}

TEST (ControlSelectionMigration, EveryLegacySwitchSetupBecomesItsLadderAndMatrixPositions)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PresetLibrary library;
    auto matrixName = [&] (int id)
    {
        for (auto* preset : *library.getList (4))
            if (preset->getIntAttribute ("Id") == id)
                return preset->getStringAttribute ("Name");
        return juce::String ("<no preset " + juce::String (id) + ">");
    };

    struct Setup
    {
        int secondChoice, inputType;
        const char* positions;
    };
    for (auto setup :
         { Setup{ 1, 3, "Mute, Stereo 1/2, Stereo 3/4, Stereo 3/4" },
           Setup{ 2, 4, "Mute, Stereo 1/2, Stereo 3/4, Stereo Mix" },
           Setup{ 3, 4, "Mute, Mono 1+2, Mono All, Mono 3+4" },
           Setup{ 0, 4, "Mono 1, Mono 2, Mono 3, Mono 4" }, Setup{ 9, 4, "Mono 1, Mono 2, Mono 3, Mono 4" } })
    {
        // GPI 2 a Source Selector with this setup.
        auto device =
            parse ("<Device><ControlSelection><ComboBox id=\"2\" SelId=\"3\"/><ComboBox id=\"3\" SelId=\"" +
                   juce::String (setup.secondChoice) + "\"/></ControlSelection></Device>");
        migrateControlSelection (*device);
        auto* gpi2 = device->getChildByName ("ControlSelection")->getChildByName ("GPI2");

        EXPECT_EQ (findChildById (*gpi2, "ComboBox", 2)->getIntAttribute ("SelId"), setup.inputType)
            << setup.secondChoice;
        juce::StringArray positions;
        for (int id = 7; id <= 10; ++id)
            positions.add (matrixName (findChildById (*gpi2, "ComboBox", id)->getIntAttribute ("SelId")));
        EXPECT_EQ (positions.joinIntoString (", "), setup.positions) << setup.secondChoice;
    }
}

TEST (ControlSelectionMigration, MapsAllOutputsToTheFamilysOwnEntryAndDefaultsMissingChoices)
{
    struct Case
    {
        const char* model;
        int expectedSet;
    };
    for (auto c : { Case{ "ZELTA", 3 }, Case{ "ZELTA 70", 1 }, Case{ "ZELTA M", 15 }, Case{ "", 15 } })
    {
        auto device =
            parse (juce::String ("<Device model=\"") + c.model +
                   "\"><ControlSelection><ComboBox id=\"0\" SelId=\"3\"/><ComboBox id=\"1\" SelId=\"7\"/>"
                   "<ComboBox id=\"2\"/>"
                   "</ControlSelection></Device>");
        migrateControlSelection (*device);
        auto* controlSelection = device->getChildByName ("ControlSelection");
        auto* gpi1 = controlSelection->getChildByName ("GPI1");
        EXPECT_EQ (findChildById (*gpi1, "ComboBox", 1)->getIntAttribute ("SelId"), c.expectedSet) << c.model;
        EXPECT_EQ (findChildById (*gpi1, "ComboBox", 7)->getIntAttribute ("SelId"), 2) << "another choice";
        // A legacy child without SelId reads 0; a missing one 1.
        auto* gpi2 = controlSelection->getChildByName ("GPI2");
        EXPECT_EQ (gpi2->getNumChildElements(), 1);
        EXPECT_EQ (findChildById (*gpi2, "ComboBox", 0)->getIntAttribute ("SelId", -1), 0);
    }

    // Nothing to migrate into, or from: left alone.
    for (auto* text :
         { "<Device><CORVADINE>"
           "<MODIFIER Id=\"4\"/></CORVADINE></Device>",
           "<Device><ControlSelection><ComboBox id=\"0\" SelId=\"2\"/></ControlSelection></Device>" })
    {
        auto device = parse (text);
        migrateControlSelection (*device);
        EXPECT_EQ (device->getChildByName ("CORVADINE") != nullptr,
                   juce::String (text).contains ("CORVADINE"));
        if (auto* controlSelection = device->getChildByName ("ControlSelection"))
            EXPECT_NE (controlSelection->getChildByName ("GPI1"), nullptr);
        else
            EXPECT_NE (device->getChildByName ("CORVADINE")->getChildByName ("MODIFIER"), nullptr);
    }
}
