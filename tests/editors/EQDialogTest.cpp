#include "document/SavedFileWriter.h"
#include "editors/EQDialog.h"
#include "editors/EqPresetFiles.h"
#include "tests/editors/EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editortest;

namespace
{
struct DialogFixture : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI gui;
    TemporaryDocuments documents;
    PresetLibrary library;
    ScriptedUserInteraction user;

    std::unique_ptr<EQDialog> make (int mode)
    {
        auto dialog = std::make_unique<EQDialog> (library, mode, user, documents.folder);
        dialog->setSize (330, mode == EQDialog::outputMode ? 450 : 400);
        deliverPendingMessages(); // the first preset is applied from the loop
        return dialog;
    }

    static int step (juce::XmlElement* effect, int position)
    {
        return effect->getChildElement (position)->getIntAttribute ("StepValue");
    }
};

// Where the curve starts, as fractions of its bounds (0 left/top, 1 right/bottom).
juce::Point<float> startOf (const juce::Path& path)
{
    juce::Path::Iterator it (path);
    it.next();
    const auto bounds = path.getBounds();
    return { (it.x1 - bounds.getX()) / bounds.getWidth(), (it.y1 - bounds.getY()) / bounds.getHeight() };
}
} // namespace

TEST_F (DialogFixture, OpensOnTheFirstPresetAndATypeChoiceOpensExactlyItsValues)
{
    auto dialog = make (EQDialog::inputMode);
    dialog->consumeChangeFlag();
    dialog->selectFirstFactoryPreset();
    EXPECT_EQ (dialog->getPresetText(), library.getList (6)->getFirst()->getStringAttribute ("Name"));
    EXPECT_TRUE (dialog->consumeChangeFlag());
    EXPECT_FALSE (dialog->consumeChangeFlag());
    EXPECT_FALSE (dialog->getSaveButton().isEnabled());

    // Band 2 becomes a low cut: only its frequency stays open.
    user.menuAnswers = { 1 };
    pressButton (dialog->getTypeButton (1));
    EXPECT_EQ (dialog->getTypeButton (1).getType(), 0);
    EXPECT_FALSE (dialog->getGainSlider (1).isEnabled());
    EXPECT_TRUE (dialog->getFrequencySlider (1).isEnabled());
    EXPECT_FALSE (dialog->getWidthSlider (1).isEnabled());
    EXPECT_EQ (shownText (dialog->getGainSlider (1)), "-");
    EXPECT_TRUE (dialog->consumeChangeFlag());
    EXPECT_TRUE (dialog->getSaveButton().isEnabled());
    deliverPendingMessages();
    EXPECT_EQ (dialog->getPresetCombo().getSelectedItemIndex(), -1);

    // A closed gain still goes out with its value and the library's text for it.
    auto* written = dialog->writeBandParameters();
    ASSERT_NE (written, nullptr);
    EXPECT_EQ (written->getChildElement (4)->getStringAttribute ("DisplayValue"), "LoCut12");
    EXPECT_EQ (step (written, 4), 0);
    EXPECT_EQ (written->getChildElement (5)->getStringAttribute ("DisplayValue"), "0.0 dB");
    EXPECT_EQ (step (written, 5), 240);

    // A menu closed without a choice changes nothing.
    user.menuAnswers = { 0 };
    pressButton (dialog->getTypeButton (1));
    EXPECT_EQ (dialog->getTypeButton (1).getType(), 0);
    EXPECT_FALSE (dialog->consumeChangeFlag());

    // "Band" opens all three again.
    user.menuAnswers = { 7 };
    pressButton (dialog->getTypeButton (1));
    EXPECT_TRUE (dialog->getGainSlider (1).isEnabled() && dialog->getWidthSlider (1).isEnabled());
    EXPECT_EQ (shownText (dialog->getGainSlider (1)), "0.0 dB");
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (DialogFixture, TypedValuesAreReadWithTheirPrefixes)
{
    auto dialog = make (EQDialog::inputMode);
    auto& frequency = dialog->getFrequencySlider (2);

    for (const char* text : { "1.6 kHz", "1600 Hz", "1.6k", "1.6 KHZ" })
    {
        frequency.setValue (0);
        typeInto (frequency, text);
        EXPECT_EQ (frequency.getValue(), 38) << text;
        EXPECT_EQ (shownText (frequency), "1.60 kHz");
    }

    typeInto (frequency, "loud");
    EXPECT_EQ (frequency.getValue(), 38);

    typeInto (dialog->getGainSlider (0), "-3 dB");
    EXPECT_EQ (dialog->getGainSlider (0).getValue(), 210);
    EXPECT_EQ (step (dialog->writeBandParameters(), 1), 210);
    EXPECT_EQ (step (dialog->writeBandParameters(), 10), 38);
}

TEST_F (DialogFixture, LimiterRowShowsTheRealPowerAndStoresTenths)
{
    auto dialog = make (EQDialog::outputMode);
    dialog->setLimiter (nullptr, 0);
    auto& voltage = *dialog->getVoltageSlider();
    auto& power = *dialog->getPowerSlider();

    // 50 Vpk into 4 Ohm: 312.5 W, beyond the power slider's 120.
    EXPECT_EQ (shownText (power), "312.5 W");
    EXPECT_EQ (power.getValue(), 120.0);

    typeInto (voltage, "20");
    EXPECT_EQ (shownText (power), "50.0 W");
    typeInto (*dialog->getImpedanceSlider(), "8");
    EXPECT_EQ (shownText (power), "25.0 W");

    typeInto (voltage, "49.7");
    auto* limiter = dialog->writeLimiterParameters();
    EXPECT_EQ (limiter->getChildElement (0)->getIntAttribute ("StepValue"), 497);
    EXPECT_EQ (limiter->getChildElement (0)->getStringAttribute ("DisplayValue"), "49.7 Vpk");
    EXPECT_EQ (limiter->getChildElement (1)->getIntAttribute ("StepValue"), 80);

    // The device's own limiter without an impedance keeps having none.
    juce::XmlElement deviceLimiter ("EFFECT");
    deviceLimiter.setAttribute ("Name", "Apm2 Preset");
    deviceLimiter.setAttribute ("Id", 36);
    auto* vLim = deviceLimiter.createNewChildElement ("PARAMETER");
    vLim->setAttribute ("Name", "V Lim");
    vLim->setAttribute ("Id", 7);
    vLim->setAttribute ("StepValue", 41);
    dialog->setLimiter (&deviceLimiter, 0);
    EXPECT_EQ (shownText (voltage), "4.1 Vpk");
    EXPECT_EQ (shownText (power), "1.1 W"); // 4.1² / 2 / 8 Ohm, the impedance kept from before
    dialog->setLimiterVoltage (320);
    EXPECT_EQ (shownText (power), "64.0 W");
    limiter = dialog->writeLimiterParameters();
    EXPECT_EQ (limiter->getNumChildElements(), 1);
    EXPECT_EQ (limiter->getChildElement (0)->getIntAttribute ("StepValue"), 320);
    EXPECT_EQ (limiter->getStringAttribute ("Name"), "Apm2 Preset");
}

TEST_F (DialogFixture, SavingSelectsTheSavedPresetAndChoosingItGivesTheSameCurve)
{
    auto dialog = make (EQDialog::outputMode);
    const auto folder = getOutputEqPresetsFolder (documents.folder);
    auto saveAs = [&] (const char* name)
    {
        user.fileAnswers.push_back (folder.getChildFile (name));
        pressButton (dialog->getSaveButton());
    };

    typeInto (dialog->getGainSlider (3), "6 dB");
    typeInto (*dialog->getVoltageSlider(), "30");
    saveAs ("Mine");
    EXPECT_EQ (dialog->getPresetText(), "Mine");
    typeInto (dialog->getGainSlider (3), "-6 dB");
    saveAs ("Other");
    EXPECT_EQ (dialog->getPresetText(), "Other");

    // Saved again under the first name: listed once, selected, with the new curve.
    typeInto (dialog->getGainSlider (3), "3 dB");
    saveAs ("Mine.spre");
    EXPECT_EQ (dialog->getPresetText(), "Mine");
    EXPECT_EQ (dialog->getPresetList().getNumUserPresets(), 2);

    dialog->selectFirstFactoryPreset();
    EXPECT_NE (dialog->getGainSlider (3).getValue(), 270);
    auto& combo = dialog->getPresetCombo();
    for (int i = 0; i < combo.getNumItems(); ++i)
        if (combo.getItemText (i) == "Mine")
            combo.setSelectedItemIndex (i, juce::sendNotificationSync);
    EXPECT_EQ (dialog->getGainSlider (3).getValue(), 270);
    EXPECT_EQ (dialog->getVoltageSlider()->getValue(), 30.0);
    EXPECT_FALSE (dialog->getSaveButton().isEnabled());

    // Saved under an extension the list does not read: no other preset poses as the saved one.
    typeInto (dialog->getGainSlider (3), "1 dB");
    saveAs ("Notes.txt");
    EXPECT_TRUE (folder.getChildFile ("Notes.txt").existsAsFile());
    EXPECT_EQ (dialog->getPresetText(), "");
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (DialogFixture, ACurveOfAnyChannelIsSavedAsAPresetThatIsListed)
{
    // The curve and limiter of the second output, as the OUTPUTS page hands them over.
    auto deviceSettings = library.getElement (0)->getChildByName ("CORVADINE");
    auto dialog = make (EQDialog::outputMode);
    dialog->setBands (findChildById (*deviceSettings, "EFFECT", 24), 0);
    dialog->setLimiter (findChildById (*deviceSettings, "EFFECT", 36), 0);
    typeInto (dialog->getGainSlider (2), "4 dB");
    typeInto (*dialog->getVoltageSlider(), "32");

    user.fileAnswers.push_back (getOutputEqPresetsFolder (documents.folder).getChildFile ("Second"));
    pressButton (dialog->getSaveButton());
    EXPECT_EQ (dialog->getPresetText(), "Second");
    ASSERT_EQ (dialog->getPresetList().getNumUserPresets(), 1);

    const auto* preset = dialog->getPresetList().getItems().getFirst();
    EXPECT_EQ (preset->getStringAttribute ("Name"), "Second");
    EXPECT_EQ (preset->getChildElement (0)->getStringAttribute ("Name"), "EQ1 Preset");
    EXPECT_EQ (preset->getChildElement (0)->getIntAttribute ("Id"), 22);
    EXPECT_EQ (preset->getChildElement (1)->getStringAttribute ("Name"), "Apm1 Preset");
    EXPECT_EQ (preset->getChildElement (1)->getIntAttribute ("Id"), 34);

    // Chosen later, it gives the curve and the limit back.
    dialog->selectFirstFactoryPreset();
    dialog->getPresetCombo().setSelectedItemIndex (0, juce::sendNotificationSync);
    EXPECT_EQ (shownText (dialog->getGainSlider (2)), "4.0 dB");
    EXPECT_EQ (dialog->getVoltageSlider()->getValue(), 32.0);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (DialogFixture, APresetWithoutANameDoesNotShiftTheChoices)
{
    // A hand-made preset file that gives no name: the chooser has no row for it.
    const auto& builtIns = *library.getList (inputEqPresetCategory);
    juce::XmlElement nameless (*builtIns[1]);
    nameless.removeAttribute ("Name");
    ASSERT_EQ (
        writeDocumentFile (nameless, getInputEqPresetsFolder (documents.folder).getChildFile ("x.xml"), true),
        FileWriteResult::written);

    auto dialog = make (EQDialog::inputMode);
    ASSERT_EQ (dialog->getPresetList().getNumUserPresets(), 1);
    dialog->selectFirstFactoryPreset();
    EXPECT_EQ (dialog->getPresetText(), builtIns[0]->getStringAttribute ("Name"));
    EXPECT_EQ (dialog->writeBandParameters()->getChildElement (9)->getIntAttribute ("StepValue"),
               builtIns[0]->getChildElement (0)->getChildElement (9)->getIntAttribute ("StepValue"));

    // The row the user picks is the preset that is applied.
    auto& combo = dialog->getPresetCombo();
    for (int row = 0; row < combo.getNumItems(); ++row)
    {
        combo.setSelectedItemIndex (row, juce::sendNotificationSync);
        const auto* chosen = builtIns[row];
        ASSERT_EQ (combo.getText(), chosen->getStringAttribute ("Name"));
        EXPECT_EQ (getStepValues (*dialog->writeBandParameters()),
                   getStepValues (*chosen->getChildElement (0)))
            << row;
    }
}

TEST_F (DialogFixture, ShortOrForeignEffectsNeverFail)
{
    auto dialog = make (EQDialog::inputMode);
    juce::XmlElement shortEffect ("EFFECT");
    shortEffect.createNewChildElement ("PARAMETER")->setAttribute ("StepValue", 99); // type 99
    shortEffect.createNewChildElement ("PARAMETER")->setAttribute ("StepValue", 5000);
    dialog->setBands (&shortEffect, 0);

    EXPECT_EQ (dialog->getTypeButton (0).getType(), 99);
    EXPECT_TRUE (dialog->getGainSlider (0).isEnabled() && dialog->getWidthSlider (0).isEnabled());
    EXPECT_EQ (dialog->getGainSlider (0).getValue(), 480);
    auto* written = dialog->writeBandParameters();
    ASSERT_EQ (written->getNumChildElements(), 2);
    EXPECT_EQ (step (written, 1), 480);
}

TEST (EQTypeButton, CurvesLeaveTheFlatLineOnTheSideOfTheirType)
{
    juce::ScopedJuceInitialiser_GUI gui;
    EQTypeButton button;
    button.setSize (40, 23);

    auto start = [&] (int type)
    {
        button.setType (type);
        return startOf (button.getIcon());
    };

    // Cuts start low, a low cut on the left and a high cut on the right.
    EXPECT_EQ (start (0), juce::Point<float> (0.0f, 1.0f));
    EXPECT_EQ (start (1), juce::Point<float> (0.0f, 1.0f));
    EXPECT_EQ (start (11), juce::Point<float> (1.0f, 1.0f));
    EXPECT_EQ (start (12), juce::Point<float> (1.0f, 1.0f));
    // Shelves start on the flat line, low shelves on the right of their curves.
    for (int type : { 7, 8, 9, 10 })
        EXPECT_EQ (start (type), juce::Point<float> (0.0f, 0.5f)) << type;
    for (int type : { 2, 3, 4, 5 })
        EXPECT_EQ (start (type), juce::Point<float> (1.0f, 0.5f)) << type;

    // Fitted into the button less 5 pixels each side, proportions kept.
    button.setType (bandEqType);
    const auto bounds = button.getIcon().getBounds();
    EXPECT_NEAR (bounds.getWidth(), 30.0f, 0.01f);
    EXPECT_NEAR (bounds.getHeight(), 30.0f * 60.0f / 140.0f, 0.01f);
    EXPECT_NEAR (bounds.getCentreY(), 11.5f, 0.01f);

    for (int type : { limiterEqType, -1, 14 })
    {
        button.setType (type);
        EXPECT_TRUE (button.getIcon().isEmpty());
    }
}
