#include "document/SettingsDocument.h"
#include "editors/InputComponent.h"
#include "tests/editors/EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editortest;

namespace
{
struct InputPageFixture : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI gui;
    TemporaryDocuments documents;
    PresetLibrary library;
    ScriptedUserInteraction user;

    std::unique_ptr<InputComponent> build (juce::XmlElement& device, const DeviceFamily& family)
    {
        auto page = std::make_unique<InputComponent> (device, library, family, user, documents.folder);
        page->setSize (340, 400);
        deliverPendingMessages();
        checkPagesOf (*page);
        return page;
    }

    std::unique_ptr<juce::XmlElement> zeltaM() const
    {
        return std::make_unique<juce::XmlElement> (*library.getElement (1));
    }

    const juce::XmlElement& inputPreset (const juce::String& name) const
    {
        for (auto* preset : *library.getList (3))
            if (preset->getStringAttribute ("Name") == name)
                return *preset;
        throw std::runtime_error ("no such preset");
    }

    static juce::XmlElement* eqEffect (juce::XmlElement& device, int input)
    {
        return findEffectById (device, 12 + 2 * input);
    }

    static int gainStep (juce::XmlElement& device, int input, int band)
    {
        return eqEffect (device, input)->getChildElement (4 * band + 1)->getIntAttribute ("StepValue");
    }
};
} // namespace

TEST_F (InputPageFixture, EveryExampleDeviceIsShownAsStoredAndLookingChangesNothing)
{
    forEachShippedDevice (
        library,
        [&] (const juce::String& where, const juce::XmlElement& stored)
        {
            SCOPED_TRACE (where.toStdString());
            juce::XmlElement device (stored);
            const auto family = familyOf (device);
            auto page = build (device, family);

            EXPECT_EQ (page->getNumInputs(), family.inputs);
            EXPECT_FALSE (page->isModified());
            EXPECT_FALSE (page->consumeChangeFlag());
            EXPECT_TRUE (withoutChild (device, "InputSelection")
                             ->isEquivalentTo (withoutChild (stored, "InputSelection").get(), false));
            if (auto* state = stored.getChildByName ("InputSelection"))
                EXPECT_TRUE (device.getChildByName ("InputSelection")->isEquivalentTo (state, false));

            for (int i = 0; i < page->getNumInputs(); ++i)
            {
                auto& box = page->getComboBox (i);
                const auto* widget = findChildById (*device.getChildByName ("InputSelection"), "ComboBox", i);
                ASSERT_NE (widget, nullptr);
                const int selId = widget->getIntAttribute ("SelId");
                EXPECT_EQ (box.getSelectedId(), selId == InputComponent::customId ? 0 : selId);
                EXPECT_EQ (box.getText(), widget->getStringAttribute ("Value"));
            }
        });
}

TEST_F (InputPageFixture, APresetGoesIntoTheChannelAndIntoInputSelection)
{
    auto device = zeltaM();
    auto page = build (*device, DeviceFamily::fromId (1));
    const auto& vocal = inputPreset ("Vocal 100Hz CUT");

    choose (page->getComboBox (2), vocal.getIntAttribute ("Id"));

    const auto* widget = findChildById (*device->getChildByName ("InputSelection"), "ComboBox", 2);
    EXPECT_EQ (widget->getStringAttribute ("Value"), "Vocal 100Hz CUT");
    EXPECT_EQ (widget->getIntAttribute ("SelId"), vocal.getIntAttribute ("Id"));

    // The preset's channel-1 EQ became input 3's, its level input 3's level.
    auto* effect = eqEffect (*device, 2);
    EXPECT_EQ (effect->getStringAttribute ("Name"), "PEQ3 Preset");
    const auto* presetEq = findChildById (vocal, "EFFECT", 12);
    for (int p = 0; p < 16; ++p)
        EXPECT_EQ (effect->getChildElement (p)->getIntAttribute ("StepValue"),
                   presetEq->getChildElement (p)->getIntAttribute ("StepValue"))
            << p;
    EXPECT_EQ (findChildById (*findEffectById (*device, 0), "PARAMETER", 2)->getStringAttribute ("StepValue"),
               findChildById (*findChildById (vocal, "EFFECT", 0), "PARAMETER", 0)
                   ->getStringAttribute ("StepValue"));
    EXPECT_EQ (gainStep (*device, 1, 0), gainStep (*zeltaM(), 1, 0)); // the neighbour untouched

    EXPECT_TRUE (page->isModified());
    EXPECT_TRUE (page->consumeChangeFlag());
    EXPECT_FALSE (page->consumeChangeFlag());
}

TEST_F (InputPageFixture, CustomEqIsWrittenOnOkAndCancelLeavesEverythingAsItWas)
{
    auto device = zeltaM();
    auto page = build (*device, DeviceFamily::fromId (1));

    // OK after lowering band 1: the input's EFFECT holds the dialog's curve.
    user.dialogAnswers.push_back (
        [] (juce::Component& content)
        {
            auto& dialog = dynamic_cast<EQDialog&> (content);
            typeInto (dialog.getGainSlider (0), "-3 dB");
            return 1;
        });
    choose (page->getComboBox (1), InputComponent::customId);
    ASSERT_FALSE (user.calls.empty());
    EXPECT_EQ (user.calls.back().title, "Custom EQ Settings");
    EXPECT_EQ (gainStep (*device, 1, 0), 210);
    EXPECT_EQ (eqEffect (*device, 1)->getChildElement (1)->getStringAttribute ("DisplayValue"), "-3.0 dB");
    EXPECT_EQ (eqEffect (*device, 1)->getStringAttribute ("Name"), "PEQ2 Preset");
    const auto* widget = findChildById (*device->getChildByName ("InputSelection"), "ComboBox", 1);
    EXPECT_EQ (widget->getStringAttribute ("Value"), "Custom");
    EXPECT_EQ (widget->getIntAttribute ("SelId"), InputComponent::customId);
    EXPECT_EQ (page->getComboBox (1).getText(), "Custom");
    EXPECT_EQ (page->getComboBox (1).getSelectedId(), 0);

    // Custom again: the dialog opens on the current curve; a preset chosen there and
    // cancelled changes neither the curve nor the shown name.
    const juce::XmlElement afterOk (*device);
    int shownGain = -1;
    user.dialogAnswers.push_back (
        [&] (juce::Component& content)
        {
            auto& dialog = dynamic_cast<EQDialog&> (content);
            shownGain = (int)dialog.getGainSlider (0).getValue();
            dialog.getPresetCombo().setSelectedItemIndex (0, juce::sendNotificationSync);
            return 0;
        });
    choose (page->getComboBox (1), InputComponent::customId);
    EXPECT_EQ (shownGain, 210);
    EXPECT_TRUE (device->isEquivalentTo (&afterOk, false));
    EXPECT_EQ (page->getComboBox (1).getText(), "Custom");
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (InputPageFixture, TheOpenDialogIsFollowedAndCancelRestoresTheStoredPreset)
{
    auto device = zeltaM();
    auto page = build (*device, DeviceFamily::fromId (1));
    const juce::XmlElement before (*device);
    bool followed = false;

    user.dialogAnswers.push_back (
        [&] (juce::Component& content)
        {
            auto& dialog = dynamic_cast<EQDialog&> (content);
            juce::DialogWindow window ("Custom EQ Settings", juce::Colours::lightgrey, true, false);
            window.setContentNonOwned (&dialog, true);
            window.enterModalState (false);
            typeInto (dialog.getGainSlider (3), "+6 dB");
            followed = page->consumeChangeFlag() && gainStep (*device, 0, 3) == 300;
            window.exitModalState (0);
            window.clearContentComponent();
            return 0;
        });
    choose (page->getComboBox (0), InputComponent::customId);

    EXPECT_TRUE (followed);
    EXPECT_TRUE (device->isEquivalentTo (&before, false));
    EXPECT_EQ (page->getComboBox (0).getSelectedId(), 1);
    EXPECT_EQ (page->getComboBox (0).getText(), "Line");
    EXPECT_FALSE (page->isModified());

    // Once opened, Custom... starts from the input's current curve.
    int shownGain = -1;
    user.dialogAnswers.push_back (
        [&] (juce::Component& content)
        {
            shownGain = (int)dynamic_cast<EQDialog&> (content).getGainSlider (3).getValue();
            return 0;
        });
    choose (page->getComboBox (0), InputComponent::customId);
    EXPECT_EQ (shownGain, gainStep (*device, 0, 3));
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (InputPageFixture, MissingPiecesAreNeverWrittenInto)
{
    // No page state, no settings: an empty InputSelection, nothing else, and nothing to choose.
    juce::XmlElement bare ("Device");
    auto page = build (bare, DeviceFamily::fromId (0));
    EXPECT_EQ (page->getNumInputs(), 2);
    EXPECT_FALSE (page->getComboBox (0).isEnabled());
    EXPECT_EQ (bare.getNumChildElements(), 1);
    EXPECT_FALSE (page->isModified());

    // Two inputs: entries for inputs 3 and 4 stay as they are; a missing EQ EFFECT is added on OK.
    auto device = zeltaM();
    auto* settings = device->getChildByName ("CORVADINE");
    settings->removeChildElement (findChildById (*settings, "EFFECT", 12), true);
    const juce::XmlElement stateBefore (*device->getChildByName ("InputSelection"));
    auto twoInputs = build (*device, DeviceFamily::fromId (0));
    EXPECT_EQ (twoInputs->getNumInputs(), 2);
    user.dialogAnswers.push_back ([] (juce::Component&) { return 1; });
    choose (twoInputs->getComboBox (0), InputComponent::customId);
    ASSERT_NE (eqEffect (*device, 0), nullptr);
    EXPECT_EQ (eqEffect (*device, 0)->getNumChildElements(), 16);
    auto* state = device->getChildByName ("InputSelection");
    for (int id : { 2, 3 })
        EXPECT_TRUE (findChildById (*state, "ComboBox", id)
                         ->isEquivalentTo (findChildById (stateBefore, "ComboBox", id), false));
}
