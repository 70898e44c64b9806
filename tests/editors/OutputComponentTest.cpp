#include "document/SettingsDocument.h"
#include "editors/OutputComponent.h"
#include "tests/editors/EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editortest;

namespace
{
struct OutputPageFixture : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI gui;
    TemporaryDocuments documents;
    PresetLibrary library;
    ScriptedUserInteraction user;

    std::unique_ptr<OutputComponent> build (juce::XmlElement& device, const DeviceFamily& family)
    {
        auto page = std::make_unique<OutputComponent> (device, library, family, user, documents.folder);
        page->setSize (340, 384);
        deliverPendingMessages();
        checkPagesOf (*page);
        return page;
    }

    std::unique_ptr<juce::XmlElement> deviceTemplate (int familyId) const
    {
        return std::make_unique<juce::XmlElement> (*library.getElement (familyId));
    }

    static juce::XmlElement* parameter (juce::XmlElement& device, int effectId, int parameterId)
    {
        auto* effect = findEffectById (device, effectId);
        return effect != nullptr ? findChildById (*effect, "PARAMETER", parameterId) : nullptr;
    }

    static int step (juce::XmlElement& device, int effectId, int parameterId)
    {
        return parameter (device, effectId, parameterId)->getIntAttribute ("StepValue");
    }

    static juce::String stored (juce::XmlElement& device, const char* tag, int id)
    {
        return findChildById (*device.getChildByName ("OutputSelection"), tag, id)
            ->getStringAttribute ("Value");
    }

    static void settingsWithoutDelayOne (juce::XmlElement& device)
    {
        auto* settings = device.getChildByName ("CORVADINE");
        settings->removeChildElement (findChildById (*settings, "EFFECT", 88), true);
    }

    static constexpr int twoWay5in = 2; // speaker preset with a 25 V limit
};
} // namespace

TEST_F (OutputPageFixture, EveryExampleDeviceIsShownAsStoredAndLookingChangesNothing)
{
    forEachShippedDevice (
        library,
        [&] (const juce::String& where, const juce::XmlElement& original)
        {
            SCOPED_TRACE (where.toStdString());
            juce::XmlElement device (original);
            const auto family = familyOf (device);
            auto page = build (device, family);

            ASSERT_EQ (page->getNumOutputs(), family.outputs);
            EXPECT_FALSE (page->isModified());
            EXPECT_FALSE (page->consumeChangeFlag());
            EXPECT_TRUE (withoutChild (device, "OutputSelection")
                             ->isEquivalentTo (withoutChild (original, "OutputSelection").get(), false));

            // Stored entries are kept; only missing delay and limit entries are added.
            const auto* before = original.getChildByName ("OutputSelection");
            auto* state = device.getChildByName ("OutputSelection");
            for (auto* child : before->getChildIterator())
                EXPECT_TRUE (findChildById (*state, child->getTagName(), child->getIntAttribute ("id"))
                                 ->isEquivalentTo (child, false))
                    << child->toString();

            for (int n = 0; n < family.outputs; ++n)
            {
                const bool hasLimit = family.id != OutputComponent::familyWithoutLimit;
                const auto* combo = findChildById (*state, "ComboBox", n);
                const int selId = combo->getIntAttribute ("SelId");
                EXPECT_EQ (page->getSpeakerBox (n).getSelectedId(),
                           selId == OutputComponent::customId ? 0 : selId);
                EXPECT_EQ (page->getSpeakerBox (n).getText(), combo->getStringAttribute ("Value"));
                EXPECT_EQ (page->getAdlcToggle (n).getToggleState(),
                           stored (device, "CheckBox", 4 + n) == "On");
                EXPECT_NEAR (page->getDelaySlider (n).getValue(),
                             stored (device, "Delay", 8 + n).getDoubleValue(), 0.05);
                EXPECT_NEAR (page->getDelayTotalSlider (n).getValue(),
                             page->getDelaySlider (n).getValue() + 9.0, 0.05);
                EXPECT_EQ (page->getLimitSlider (n).isVisible(), hasLimit);
                EXPECT_NEAR (page->getLimitTotalSlider (n).getValue(),
                             stored (device, "Apm", 12 + n).getDoubleValue(), 0.05);
                EXPECT_EQ (page->getChannelLabel (n).getText(),
                           (n < 2 ? "SPK" : "OUT") + juce::String (n + 1));
            }
        });
}

TEST_F (OutputPageFixture, SpeakerPresetLimitAndAdlcReachTheDocumentAsTheyAreShown)
{
    auto device = deviceTemplate (0);
    auto page = build (*device, DeviceFamily::fromId (0));

    choose (page->getSpeakerBox (1), twoWay5in);
    EXPECT_EQ (stored (*device, "ComboBox", 1), "Two-way 5in Full Range");
    EXPECT_EQ (findEffectById (*device, 24)->getStringAttribute ("Name"), "EQ2 Preset");
    // ADLC is off: the speaker's band gains are held back.
    EXPECT_EQ (parameter (*device, 28, 5)->getStringAttribute ("DisplayValue"), "Bypass");
    for (int id : { 31, 32, 33 })
        EXPECT_EQ (step (*device, 28, id), 37);
    EXPECT_EQ (step (*device, 80, 1), 240);
    // The speaker allows 25 V: the total shows it and the amplifier gets it.
    EXPECT_EQ (shownText (page->getLimitTotalSlider (1)), "25.0 Vpk");
    EXPECT_EQ (step (*device, 36, 7), 250);

    pressButton (page->getAdlcToggle (1));
    EXPECT_EQ (stored (*device, "CheckBox", 5), "On");
    EXPECT_EQ (step (*device, 28, 5), 0);
    EXPECT_EQ (step (*device, 28, 31), 41);
    EXPECT_EQ (parameter (*device, 28, 31)->getStringAttribute ("DisplayValue"), "4 dB");
    EXPECT_EQ (step (*device, 28, 33), 39);
    EXPECT_EQ (step (*device, 80, 1), 270);
    pressButton (page->getAdlcToggle (1));
    EXPECT_EQ (step (*device, 28, 31), 37);

    // A higher LIMIT than the speaker allows still sends the speaker's limit.
    typeInto (page->getLimitSlider (1), "40");
    EXPECT_EQ (step (*device, 36, 7), 250);
    EXPECT_EQ (stored (*device, "Apm", 13).getDoubleValue(), 25.0);
    typeInto (page->getLimitSlider (1), "0.7");
    EXPECT_EQ (step (*device, 36, 7), 7);
    EXPECT_EQ (parameter (*device, 36, 7)->getStringAttribute ("DisplayValue"), "0.7 Volt");
    EXPECT_TRUE (page->isModified());
    EXPECT_TRUE (page->consumeChangeFlag());

    // Built again, the page still knows the speaker's band gains and its 25 V.
    page = build (*device, DeviceFamily::fromId (0));
    EXPECT_EQ (shownText (page->getLimitTotalSlider (1)), "0.7 Vpk");
    typeInto (page->getLimitSlider (1), "40");
    EXPECT_EQ (step (*device, 36, 7), 250);
    pressButton (page->getAdlcToggle (1));
    EXPECT_EQ (step (*device, 28, 31), 41);
    EXPECT_EQ (step (*device, 80, 1), 270);

    // A missing limit entry is made at the full 50 V; the speaker still limits the total.
    auto* state = device->getChildByName ("OutputSelection");
    state->removeChildElement (findChildById (*state, "Apm", 13), true);
    page = build (*device, DeviceFamily::fromId (0));
    EXPECT_EQ (stored (*device, "Apm", 13), "50.0");
    EXPECT_EQ (shownText (page->getLimitSlider (1)), "50.0 Vpk");
    EXPECT_EQ (shownText (page->getLimitTotalSlider (1)), "25.0 Vpk");
}

TEST_F (OutputPageFixture, DelayIsWrittenInWholeSamples)
{
    auto device = deviceTemplate (1);
    auto page = build (*device, DeviceFamily::fromId (1));

    typeInto (page->getDelaySlider (3), "0.3");
    EXPECT_EQ (step (*device, 94, 0), 14);
    EXPECT_EQ (parameter (*device, 94, 0)->getStringAttribute ("DisplayValue"), "14 Smpl");
    EXPECT_EQ (shownText (page->getDelaySlider (3)), "0.3 ms");
    EXPECT_EQ (shownText (page->getDelayTotalSlider (3)), "9.3 ms");
    EXPECT_EQ (stored (*device, "Delay", 11), "0.3");

    // Whole samples are the ones the delay has reached: 4.8 of them are 4.
    typeInto (page->getDelaySlider (3), "0.1");
    EXPECT_EQ (step (*device, 94, 0), 4);

    typeInto (page->getDelaySlider (3), "120");
    EXPECT_EQ (step (*device, 94, 0), 5760);
    EXPECT_EQ (step (*device, 88, 0), 0); // the other outputs untouched
}

TEST_F (OutputPageFixture, WithoutALimitTheLimiterVoltageIsLeftOut)
{
    auto device = deviceTemplate (2);
    const juce::XmlElement original (*device);
    auto page = build (*device, DeviceFamily::fromId (2));
    ASSERT_EQ (page->getNumOutputs(), 1);
    EXPECT_FALSE (page->getLimitSlider (0).isVisible());
    EXPECT_EQ (page->getLimitSlider (0).getValue(), 50.0);
    EXPECT_NE (parameter (*device, 34, 7), nullptr); // looking removes nothing

    choose (page->getSpeakerBox (0), twoWay5in);
    EXPECT_EQ (parameter (*device, 34, 7), nullptr);
    typeInto (page->getDelaySlider (0), "1");
    EXPECT_EQ (parameter (*device, 34, 7), nullptr);
}

TEST_F (OutputPageFixture, CustomEqWithLimiterIsWrittenOnOkAndCancelChangesNothing)
{
    auto device = deviceTemplate (1);
    auto page = build (*device, DeviceFamily::fromId (1));

    user.dialogAnswers.push_back (
        [] (juce::Component& content)
        {
            auto& dialog = dynamic_cast<EQDialog&> (content);
            typeInto (dialog.getGainSlider (2), "-6 dB");
            typeInto (*dialog.getVoltageSlider(), "30");
            return 1;
        });
    choose (page->getSpeakerBox (2), OutputComponent::customId);
    EXPECT_EQ (findEffectById (*device, 64)->getStringAttribute ("Name"), "EQ3 Preset");
    EXPECT_EQ (step (*device, 64, 9), 180);
    EXPECT_EQ (findEffectById (*device, 72)->getStringAttribute ("Name"), "Apm3 Preset");
    EXPECT_EQ (step (*device, 72, 7), 300);
    EXPECT_EQ (step (*device, 72, 4), 40);
    EXPECT_EQ (shownText (page->getLimitTotalSlider (2)), "30.0 Vpk");
    EXPECT_EQ (stored (*device, "ComboBox", 2), "Custom");
    EXPECT_EQ (page->getSpeakerBox (2).getText(), "Custom");

    // Opened again on the custom output: its curve and limit; Cancel keeps them.
    const juce::XmlElement afterOk (*device);
    int shownGain = -1;
    double shownVoltage = -1;
    user.dialogAnswers.push_back (
        [&] (juce::Component& content)
        {
            auto& dialog = dynamic_cast<EQDialog&> (content);
            shownGain = (int)dialog.getGainSlider (2).getValue();
            shownVoltage = dialog.getVoltageSlider()->getValue();
            typeInto (dialog.getGainSlider (2), "+6 dB");
            return 0;
        });
    choose (page->getSpeakerBox (2), OutputComponent::customId);
    EXPECT_EQ (shownGain, 180);
    EXPECT_NEAR (shownVoltage, 30.0, 1e-6);
    EXPECT_TRUE (device->isEquivalentTo (&afterOk, false));

    // Cancel on a speaker output, even after the open dialog was followed: as before.
    const juce::XmlElement beforeCancel (*device);
    bool followed = false;
    user.dialogAnswers.push_back (
        [&] (juce::Component& content)
        {
            juce::DialogWindow window ("Custom EQ Settings", juce::Colours::lightgrey, true, false);
            window.setContentNonOwned (&content, true);
            window.enterModalState (false);
            typeInto (dynamic_cast<EQDialog&> (content).getGainSlider (0), "+6 dB");
            followed = page->consumeChangeFlag() && step (*device, 22, 1) == 300;
            window.exitModalState (0);
            window.clearContentComponent();
            return 0;
        });
    choose (page->getSpeakerBox (0), OutputComponent::customId);
    EXPECT_TRUE (followed);
    EXPECT_TRUE (device->isEquivalentTo (&beforeCancel, false));
    EXPECT_EQ (page->getSpeakerBox (0).getSelectedId(), 1);

    // A custom EQ taken from the EQ preset "Flat" is no speaker preset "Flat", now or when built again.
    user.dialogAnswers.push_back ([] (juce::Component&) { return 1; });
    choose (page->getSpeakerBox (3), OutputComponent::customId);
    for (int pass = 0; pass < 2; ++pass)
    {
        EXPECT_EQ (page->getSpeakerBox (3).getText(), "Flat");
        EXPECT_EQ (page->getSpeakerBox (3).getSelectedId(), 0);
        page = build (*device, DeviceFamily::fromId (1));
    }
    EXPECT_EQ (
        findChildById (*device->getChildByName ("OutputSelection"), "ComboBox", 3)->getIntAttribute ("SelId"),
        OutputComponent::customId);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (OutputPageFixture, UnreadValuesAndMissingEffectsAreNeverWritten)
{
    // A band gain without a step: switching ADLC on leaves it alone.
    auto device = deviceTemplate (0);
    findChildById (*device->getChildByName ("OutputSelection"), "ComboBox", 0)->setAttribute ("SelId", 999);
    parameter (*device, 26, 31)->removeAttribute ("StepValue");
    parameter (*device, 26, 32)->setAttribute ("StepValue", 44);
    settingsWithoutDelayOne (*device);
    auto page = build (*device, DeviceFamily::fromId (0));
    EXPECT_EQ (findEffectByIdAndName (*device, "Delay1 Preset", 88), nullptr); // looking adds nothing

    pressButton (page->getAdlcToggle (0));
    EXPECT_FALSE (parameter (*device, 26, 31)->hasAttribute ("StepValue"));
    EXPECT_EQ (parameter (*device, 26, 31)->getStringAttribute ("DisplayValue"), "0 dB");
    EXPECT_EQ (step (*device, 26, 32), 44);

    // A missing delay effect comes from the family's template when the delay is set.
    typeInto (page->getDelaySlider (0), "1");
    EXPECT_EQ (step (*device, 88, 0), 48);

    // Read back from an amplifier, effects have no names: the delay's own effect is
    // written, no template values are merged over the others.
    auto readBack = asReadBack (*deviceTemplate (1));
    const juce::XmlElement beforeDelay (*readBack);
    auto readBackPage = build (*readBack, DeviceFamily::fromId (1));
    typeInto (readBackPage->getDelaySlider (1), "2");
    EXPECT_EQ (step (*readBack, 90, 0), 96);
    parameter (*readBack, 90, 0)->removeAttribute ("DisplayValue");
    parameter (*readBack, 90, 0)->setAttribute ("StepValue", 0);
    EXPECT_TRUE (withoutChild (*readBack, "OutputSelection")
                     ->isEquivalentTo (withoutChild (beforeDelay, "OutputSelection").get(), false));

    // No settings document at all: nothing to edit, nothing created.
    juce::XmlElement bare ("Device");
    auto barePage = build (bare, DeviceFamily::fromId (1));
    EXPECT_FALSE (barePage->getSpeakerBox (0).isEnabled());
    EXPECT_FALSE (barePage->getDelaySlider (3).isEnabled());
    EXPECT_EQ (bare.getNumChildElements(), 1);
    EXPECT_FALSE (barePage->isModified());
}

TEST_F (OutputPageFixture, ACustomLimitStaysTheCeilingHoweverOftenThePageIsBuilt)
{
    auto device = deviceTemplate (1);
    auto page = build (*device, DeviceFamily::fromId (1));
    double offered = -1.0;
    auto answerDialog = [&] (const char* volts, int result)
    {
        user.dialogAnswers.push_back (
            [&offered, volts, result] (juce::Component& content)
            {
                auto& voltage = *dynamic_cast<EQDialog&> (content).getVoltageSlider();
                offered = voltage.getValue();
                typeInto (voltage, volts);
                return result;
            });
    };

    answerDialog ("40", 1);
    choose (page->getSpeakerBox (0), OutputComponent::customId);
    typeInto (page->getLimitSlider (0), "20");
    EXPECT_EQ (step (*device, 34, 7), 200);

    for (int rebuilds = 0; rebuilds < 2; ++rebuilds)
        page = build (*device, DeviceFamily::fromId (1));
    typeInto (page->getLimitSlider (0), "45");
    EXPECT_EQ (shownText (page->getLimitTotalSlider (0)), "40.0 Vpk");
    EXPECT_EQ (step (*device, 34, 7), 400);

    // Opened again, the dialog offers the custom EQ's own limit, not the total.
    typeInto (page->getLimitSlider (0), "10");
    answerDialog ("40", 0);
    choose (page->getSpeakerBox (0), OutputComponent::customId);
    EXPECT_EQ (offered, 40.0);
    EXPECT_EQ (step (*device, 34, 7), 100);

    // A file from before the limit was kept with the selection: the limiter's own parameter tells it.
    typeInto (page->getLimitSlider (0), "35");
    findChildById (*device->getChildByName ("OutputSelection"), "ComboBox", 0)
        ->removeAttribute ("CustomLimit");
    page = build (*device, DeviceFamily::fromId (1));
    typeInto (page->getLimitSlider (0), "45");
    EXPECT_EQ (shownText (page->getLimitTotalSlider (0)), "35.0 Vpk");
    EXPECT_EQ (step (*device, 34, 7), 350);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (OutputPageFixture, ADialogOpenedForAnOutputCarriesOnlyThatOutputsEffects)
{
    // Both outputs custom; the device lacks the first output's limiter.
    auto device = deviceTemplate (0);
    auto* settings = device->getChildByName ("CORVADINE");
    settings->removeChildElement (findChildById (*settings, "EFFECT", 34), true);
    const int custom = OutputComponent::customId;
    for (int n : { 0, 1 })
        SetupComponent::storeWidget (*device->getChildByName ("OutputSelection"), "ComboBox", n, "Custom",
                                     &custom);
    auto page = build (*device, DeviceFamily::fromId (0));

    auto okWith = [&] (const char* volts, const char* ohms)
    {
        user.dialogAnswers.push_back (
            [volts, ohms] (juce::Component& content)
            {
                auto& dialog = dynamic_cast<EQDialog&> (content);
                typeInto (*dialog.getVoltageSlider(), volts);
                typeInto (*dialog.getImpedanceSlider(), ohms);
                return 1;
            });
    };
    okWith ("30", "8");
    choose (page->getSpeakerBox (1), OutputComponent::customId);
    okWith ("20", "4");
    choose (page->getSpeakerBox (0), OutputComponent::customId);

    EXPECT_EQ (findEffectById (*device, 34)->getStringAttribute ("Name"), "Apm1 Preset");
    EXPECT_EQ (step (*device, 34, 7), 200);
    EXPECT_EQ (step (*device, 34, 4), 40);
    EXPECT_EQ (step (*device, 36, 7), 300);
    EXPECT_FALSE (user.anyUnexpected());
}
