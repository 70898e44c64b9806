#include "document/SavedFileFormat.h"
#include "document/SavedFileWriter.h"
#include "editors/EQDialog.h"
#include "editors/EqPresetFiles.h"
#include "editors/EqPresetList.h"
#include "editors/EqValueText.h"
#include "editors/OutputComponent.h"
#include "tests/editors/EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editortest;

namespace
{
// An older preset with the rows 0..15 in order; `edit` may change the rows.
std::unique_ptr<juce::XmlElement> legacyPreset (std::function<void (juce::XmlElement&)> edit = {})
{
    auto root = std::make_unique<juce::XmlElement> ("ZELTA_EQPRESET");
    root->setAttribute ("Rev", 1);
    root->setAttribute ("Name", "Old");
    const char* values[] = { "Low Shelve 6", "-3 dB", "1.6 KHz", "1.0" };

    for (int row = 0; row < numEqBandParameters; ++row)
    {
        auto* child = root->createNewChildElement ("Band");
        child->setAttribute ("Id", row);
        child->setAttribute ("Value", values[row % 4]);
    }

    if (edit)
        edit (*root);
    return root;
}

std::unique_ptr<juce::XmlElement> currentPreset (const char* effectName, int gainStep)
{
    auto effect = std::make_unique<juce::XmlElement> ("EFFECT");
    effect->setAttribute ("Name", effectName);
    effect->setAttribute ("Id", 12);
    for (int row = 0; row < numEqBandParameters; ++row)
    {
        auto* parameter = effect->createNewChildElement ("PARAMETER");
        parameter->setAttribute ("Id", row);
        parameter->setAttribute ("StepValue", row % 4 == 1 ? gainStep : 6);
    }
    return wrapInCorvadineDocument (*effect, "Mine");
}

void writeText (const juce::File& file, const juce::String& text, bool scrambled)
{
    const auto utf8 = text.toStdString();
    const auto bytes =
        scrambled ? scrambleFile (utf8.data(), utf8.size()) : juce::MemoryBlock (utf8.data(), utf8.size());
    ASSERT_TRUE (file.replaceWithData (bytes.getData(), bytes.getSize()));
}
} // namespace

TEST (EqValueText, ReadsValuesAsUsersWriteThem)
{
    constexpr int frequencyRow = 2, gainRow = 1;

    for (const char* text : { "1.6 kHz", "1600 Hz", "1.6k", "1.6 KHZ", " 1.6khz" })
        EXPECT_EQ (stepFromValueText (text, frequencyRow), 38) << text;

    EXPECT_EQ (stepFromValueText ("-3 dB", gainRow), 210);
    EXPECT_EQ (stepFromValueText ("0.02 M", frequencyRow), 60); // 20 kHz
    EXPECT_EQ (stepFromValueText ("99 kHz", frequencyRow), 60); // held to the row's range
    EXPECT_EQ (stepFromValueText ("+30 dB", gainRow), 480);
    EXPECT_FALSE (stepFromValueText ("kHz", frequencyRow).has_value());
    EXPECT_FALSE (stepFromValueText ("0 Hz", frequencyRow).has_value());

    EXPECT_EQ (eqTypeIndexFromName ("high shelve 6 dB/Oct"), 8);
    EXPECT_EQ (eqTypeIndexFromName ("Low Cut 12"), 0);
    EXPECT_EQ (eqTypeIndexFromName ("Peak"), -1);
}

TEST (EqPresetFiles, ConvertsOlderPresetsOnlyWhenEveryRowIsKnown)
{
    auto effect = convertLegacyEqPreset (*legacyPreset(), inputEqPresetCategory);
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (effect->getStringAttribute ("Name"), "PEQ1 Preset");
    EXPECT_EQ (effect->getIntAttribute ("Id"), 12);
    ASSERT_EQ (effect->getNumChildElements(), numEqBandParameters);
    const int expected[] = { 4, 210, 38, 9 };
    for (int row = 0; row < numEqBandParameters; ++row)
    {
        auto* parameter = effect->getChildElement (row);
        EXPECT_EQ (parameter->getNumAttributes(), 2);
        EXPECT_EQ (parameter->getIntAttribute ("Id"), row);
        EXPECT_EQ (parameter->getIntAttribute ("StepValue"), expected[row % 4]) << row;
    }
    EXPECT_EQ (convertLegacyEqPreset (*legacyPreset(), outputEqPresetCategory)->getStringAttribute ("Name"),
               "EQ1 Preset");

    const std::function<void (juce::XmlElement&)> spoilers[] = {
        [] (juce::XmlElement& root) { root.setAttribute ("Rev", 2); },
        [] (juce::XmlElement& root) { root.setTagName ("zelta_eqpreset"); },
        [] (juce::XmlElement& root) { root.getChildElement (8)->setAttribute ("Value", "Peak"); },
        [] (juce::XmlElement& root) { root.getChildElement (6)->setAttribute ("Value", "high"); },
        [] (juce::XmlElement& root) { root.removeChildElement (root.getChildElement (15), true); },
        [] (juce::XmlElement& root) { root.getChildElement (3)->setAttribute ("Id", 7); },
        [] (juce::XmlElement& root) { root.createNewChildElement ("Band")->setAttribute ("Id", 16); },
    };
    for (size_t i = 0; i < std::size (spoilers); ++i)
        EXPECT_EQ (convertLegacyEqPreset (*legacyPreset (spoilers[i]), inputEqPresetCategory), nullptr) << i;
}

TEST (EqPresetFiles, RefusesCurrentPresetsHoldingWhatTheDialogWouldNotWrite)
{
    PresetLibrary library;
    const auto& outputPreset = *library.getList (outputEqPresetCategory)->getFirst();
    const auto& inputPreset = *library.getList (inputEqPresetCategory)->getFirst();
    auto read = [] (const juce::XmlElement& preset, int category)
    { return readEqPresetFile (createDocumentFileBytes (preset, true), category); };

    for (int category : { inputEqPresetCategory, outputEqPresetCategory })
        for (auto* builtIn : *library.getList ((juce::uint8)category))
            EXPECT_TRUE (isUsableEqPreset (*builtIn, category)) << builtIn->getStringAttribute ("Name");
    ASSERT_TRUE (read (outputPreset, outputEqPresetCategory) != nullptr);

    auto band = [] (juce::XmlElement& preset, int row)
    { return preset.getChildElement (0)->getChildElement (row); };
    auto limiterValue = [] (juce::XmlElement& preset, int child)
    { return preset.getChildElement (1)->getChildElement (child); };
    const std::function<void (juce::XmlElement&)> spoilers[] = {
        [&] (juce::XmlElement& p)
        {
            for (int row = 0; row < numEqBandParameters; ++row)
                band (p, row)->setAttribute ("Id", 200 + row);
        },
        [&] (juce::XmlElement& p) { band (p, 4)->setAttribute ("StepValue", 99); },
        [&] (juce::XmlElement& p) { band (p, 5)->setAttribute ("StepValue", 481); },
        [&] (juce::XmlElement& p) { band (p, 2)->setAttribute ("StepValue", "12 Hz"); },
        [&] (juce::XmlElement& p) { band (p, 3)->removeAttribute ("StepValue"); },
        [&] (juce::XmlElement& p) { band (p, 6)->setAttribute ("Id", 7); },
        [&] (juce::XmlElement& p) { p.getChildElement (0)->setAttribute ("Id", 200); },
        [&] (juce::XmlElement& p) { p.getChildElement (0)->setTagName ("MODIFIER"); },
        [&] (juce::XmlElement& p) { limiterValue (p, 0)->setAttribute ("StepValue", 501); },
        [&] (juce::XmlElement& p) { limiterValue (p, 1)->setAttribute ("StepValue", 19); },
        [&] (juce::XmlElement& p)
        {
            auto* voltage = limiterValue (p, 0);
            p.getChildElement (1)->removeChildElement (voltage, false);
            p.getChildElement (1)->addChildElement (voltage); // after the impedance
        },
        [&] (juce::XmlElement& p)
        { p.getChildElement (1)->createNewChildElement ("PARAMETER")->setAttribute ("Id", 200); },
        [&] (juce::XmlElement& p) { p.addChildElement (new juce::XmlElement (*p.getChildElement (1))); },
    };
    for (size_t i = 0; i < std::size (spoilers); ++i)
    {
        juce::XmlElement spoilt (outputPreset);
        spoilers[i](spoilt);
        EXPECT_TRUE (read (spoilt, outputEqPresetCategory) == nullptr) << i;
    }

    // The dialog hands back a limiter without the values the one it was given lacked.
    for (int keep : { 0, 1, 2 })
    {
        juce::XmlElement partial (outputPreset);
        for (int child = 1; child >= 0; --child)
            if ((keep & (1 << child)) == 0)
                partial.getChildElement (1)->removeChildElement (limiterValue (partial, child), true);
        EXPECT_TRUE (read (partial, outputEqPresetCategory) != nullptr) << keep;
    }

    // An input preset holds its EQ alone.
    juce::XmlElement withLimiter (inputPreset);
    withLimiter.addChildElement (new juce::XmlElement (*outputPreset.getChildElement (1)));
    EXPECT_TRUE (read (inputPreset, inputEqPresetCategory) != nullptr);
    EXPECT_TRUE (read (withLimiter, inputEqPresetCategory) == nullptr);
}

TEST (EqPresetList, ListsEachUsableFileOnceWithItsCurrentContentThenTheBuiltIns)
{
    TemporaryDocuments documents;
    PresetLibrary library;
    const auto folder = getInputEqPresetsFolder (documents.folder);
    ASSERT_EQ (folder,
               documents.folder.getChildFile ("ZELTA Applications").getChildFile ("Input EQ Presets"));

    writeText (folder.getChildFile ("a.spre"), currentPreset ("PEQ1 Preset", 100)->toString(), true);
    writeText (folder.getChildFile ("b.spre"), "<CORVADINE><EFFECT", true); // does not parse
    writeText (folder.getChildFile ("c.xml"), legacyPreset()->toString(), false);
    writeText (folder.getChildFile ("d.xml"), currentPreset ("EQ1 Preset", 100)->toString(), false);
    writeText (folder.getChildFile ("e.spre"), "", false);
    writeText (folder.getChildFile ("f.spre"), currentPreset ("PEQ1 Preset", 300)->toString(), true);

    EqPresetList list (library, inputEqPresetCategory, folder);
    const auto& builtIns = *library.getList (inputEqPresetCategory);
    ASSERT_EQ (list.getNumUserPresets(), 3);
    ASSERT_EQ (list.getItems().size(), 3 + builtIns.size());
    EXPECT_EQ (list.getItems()[0]->getChildElement (0)->getChildElement (1)->getIntAttribute ("StepValue"),
               100);
    EXPECT_EQ (list.getItems()[1]->getChildElement (0)->getChildElement (1)->getIntAttribute ("StepValue"),
               300);
    EXPECT_EQ (list.getItems()[2]->getStringAttribute ("Name"), "Old"); // the older file, converted
    EXPECT_TRUE (list.getItems()[3]->isEquivalentTo (builtIns[0], false));

    // Overwritten with another curve: still one entry, now with the new curve.
    writeText (folder.getChildFile ("a.spre"), currentPreset ("PEQ1 Preset", 200)->toString(), true);
    folder.getChildFile ("f.spre").deleteFile();
    list.rescan();
    ASSERT_EQ (list.getNumUserPresets(), 2);
    EXPECT_EQ (list.getItems()[0]->getChildElement (0)->getChildElement (1)->getIntAttribute ("StepValue"),
               200);
    EXPECT_EQ (list.getItems().size(), 2 + builtIns.size());
}

TEST (EqPresetList, SavesWhereTheUserChoseAndSaysWhenItCannot)
{
    juce::ScopedJuceInitialiser_GUI gui;
    TemporaryDocuments documents;
    PresetLibrary library;
    const auto folder = getOutputEqPresetsFolder (documents.folder);
    EqPresetList list (library, outputEqPresetCategory, folder);
    ScriptedUserInteraction user;

    // The name is what the user typed, kept whatever it holds; the extension is added.
    user.fileAnswers.push_back (folder.getChildFile ("Hall <B> & \"C\""));
    ASSERT_TRUE (list.savePreset (currentPreset ("EQ1 Preset", 120), user));
    const auto saved = folder.getChildFile ("Hall <B> & \"C\".spre");
    juce::MemoryBlock bytes;
    ASSERT_TRUE (saved.loadFileAsData (bytes));
    EXPECT_TRUE (hasScrambledFileHeader (bytes));
    EXPECT_EQ (readSavedFile (bytes).document->getStringAttribute ("Name"), "Hall <B> & \"C\"");
    ASSERT_GE (user.calls.size(), 2u);
    EXPECT_EQ (user.calls.front().kind, "key"); // F8 is read before the chooser opens
    EXPECT_EQ (user.calls[1].title, "Save file as...");
    EXPECT_EQ (user.calls[1].start, folder.getChildFile ("untitled preset"));
    EXPECT_EQ (user.calls[1].pattern, "*.spre");

    // F8 held: plain XML.
    user.keysDown.insert (juce::KeyPress::F8Key);
    user.fileAnswers.push_back (folder.getChildFile ("plain.spre"));
    ASSERT_TRUE (list.savePreset (currentPreset ("EQ1 Preset", 120), user));
    EXPECT_TRUE (folder.getChildFile ("plain.spre").loadFileAsString().startsWith ("<?xml"));
    user.keysDown.clear();

    // Cancelled: nothing written, nothing said.
    user.fileAnswers.push_back (std::nullopt);
    EXPECT_FALSE (list.savePreset (currentPreset ("EQ1 Preset", 120), user));

    // A target that cannot be replaced is kept and the user is told.
    const auto blocked = folder.getChildFile ("blocked.spre");
    blocked.createDirectory();
    blocked.getChildFile ("inside").replaceWithText ("kept");
    user.fileAnswers.push_back (blocked);
    EXPECT_FALSE (list.savePreset (currentPreset ("EQ1 Preset", 120), user));
    EXPECT_EQ (blocked.getChildFile ("inside").loadFileAsString(), "kept");
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().title, "Save failed");

    // A preset folder that cannot exist (a file stands in its way) is reported, no chooser opens.
    const auto notAFolder = documents.folder.getChildFile ("file");
    notAFolder.replaceWithText ("x");
    EqPresetList stuck (library, outputEqPresetCategory, getOutputEqPresetsFolder (notAFolder));
    EXPECT_EQ (stuck.getNumUserPresets(), 0);
    const auto choosersBefore = user.countCalls ("save");
    EXPECT_FALSE (stuck.savePreset (currentPreset ("EQ1 Preset", 120), user));
    EXPECT_EQ (user.countCalls ("save"), choosersBefore);
    EXPECT_EQ (user.countCalls ("message"), 2);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST (EqPresetList, ListsEveryPresetTheOutputsPageSavesForEveryFamily)
{
    juce::ScopedJuceInitialiser_GUI gui;
    TemporaryDocuments documents; // one preset folder for all families, as on one computer
    PresetLibrary library;
    ScriptedUserInteraction user;
    const auto folder = getOutputEqPresetsFolder (documents.folder);
    constexpr int speakerWithItsOwnLimit = 2;
    juce::StringArray saved;
    int gain = 0;

    // The family without a voltage limit first, so that the others may choose its presets.
    for (int familyId : { OutputComponent::familyWithoutLimit, 0, 1 })
    {
        const auto family = DeviceFamily::fromId (familyId);
        SCOPED_TRACE (family.name.toStdString());
        juce::XmlElement device (*library.getElement (familyId));
        OutputComponent page (device, library, family, user, documents.folder);
        page.setSize (340, 384);
        deliverPendingMessages();

        // "Custom..." on output 1: perhaps a preset chosen, a gain raised, saved, OK.
        auto save = [&] (const juce::String& what, const juce::String& presetToChoose = {})
        {
            const auto name = family.name + " " + what;
            user.fileAnswers.push_back (folder.getChildFile (name));
            user.dialogAnswers.push_back (
                [&gain, name, presetToChoose] (juce::Component& content)
                {
                    auto& dialog = dynamic_cast<EQDialog&> (content);
                    auto& combo = dialog.getPresetCombo();
                    if (presetToChoose.isNotEmpty())
                    {
                        for (int row = 0; row < combo.getNumItems(); ++row)
                            if (combo.getItemText (row) == presetToChoose)
                                combo.setSelectedItemIndex (row, juce::sendNotificationSync);
                        EXPECT_EQ (dialog.getPresetText(), presetToChoose);
                    }

                    typeInto (dialog.getGainSlider (0), juce::String (++gain) + " dB");
                    typeInto (*dialog.getVoltageSlider(), "30");
                    pressButton (dialog.getSaveButton());
                    EXPECT_EQ (dialog.getPresetText(), name); // listed and chosen at once
                    return 1;
                });
            choose (page.getSpeakerBox (0), OutputComponent::customId);
            saved.add (name);
        };

        save ("first");
        save ("again");
        choose (page.getSpeakerBox (0), speakerWithItsOwnLimit);
        save ("after a speaker");
        // Its limiter holds no voltage: where the family has a limit, the one the dialog showed.
        save ("from ZELTA 70", "ZELTA 70 again");

        const auto* voltage = findChildById (*findEffectById (device, 34), "PARAMETER", 7);
        if (familyId == OutputComponent::familyWithoutLimit)
        {
            EXPECT_EQ (voltage, nullptr);
        }
        else
        {
            ASSERT_NE (voltage, nullptr);
            EXPECT_EQ (voltage->getIntAttribute ("StepValue"), 300);
            EXPECT_EQ (shownText (page.getLimitTotalSlider (0)), "30.0 Vpk");
        }
    }

    EqPresetList fresh (library, outputEqPresetCategory, folder);
    juce::StringArray listed;
    for (int i = 0; i < fresh.getNumUserPresets(); ++i)
        listed.add (fresh.getItems()[i]->getStringAttribute ("Name"));
    listed.sort (false);
    saved.sort (false);
    EXPECT_EQ (listed.joinIntoString (", "), saved.joinIntoString (", "));
    EXPECT_FALSE (user.anyUnexpected());
}
