#include "document/SettingsDocument.h"
#include "editors/MatrixComponent.h"
#include "tests/editors/EditorTestSupport.h"

using namespace editortest;

namespace
{
class MatrixComponentTest : public ::testing::Test
{
protected:
    // A copy of the ZELTA M template: four inputs, four outputs, preset "Default".
    std::unique_ptr<juce::XmlElement> zeltaM() const
    {
        return std::make_unique<juce::XmlElement> (*library->getElement (1));
    }

    std::unique_ptr<MatrixComponent> makePage (juce::XmlElement& element, juce::uint8 firstId = 0,
                                               juce::int16 presetId = MatrixComponent::noPresetId)
    {
        auto page = std::make_unique<MatrixComponent> (&element, &library.get(), familyOf (element), firstId,
                                                       presetId);
        page->setSize (340, 384);
        return page;
    }

    static juce::XmlElement* parameter (juce::XmlElement& effect, int id)
    {
        return findChildById (effect, "PARAMETER", id);
    }

    static juce::XmlElement& matrixOf (juce::XmlElement& device)
    {
        return *findEffectById (device, MatrixComponent::matrixEffectId);
    }

    static juce::String written (juce::XmlElement& effect, int id)
    {
        auto* p = parameter (effect, id);
        return p == nullptr
                   ? "missing"
                   : p->getStringAttribute ("DisplayValue") + "/" + p->getStringAttribute ("StepValue");
    }

    static juce::String choice (juce::XmlElement& device)
    {
        auto* combo = device.getChildByName ("MatrixSelection")->getChildByName ("ComboBox");
        return combo->getStringAttribute ("Value") + "/" + combo->getStringAttribute ("SelId");
    }

    static void clickPoint (MatrixComponent& page, int id)
    {
        click (page, page.getPointArea (id).getCentre());
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::SharedResourcePointer<PresetLibrary> library;
};
} // namespace

TEST_F (MatrixComponentTest, ShowsEveryShippedDeviceAsStoredAndLookingChangesNothing)
{
    forEachShippedDevice (
        *library,
        [this] (const juce::String& name, const juce::XmlElement& stored)
        {
            SCOPED_TRACE (name.toStdString());
            juce::XmlElement device (stored);
            auto page = makePage (device);
            pumpMessages();

            // Several stored choices (ZELTA 70 "Mono 1+2") differ from the levels the
            // device holds: applying them again would change the device.
            EXPECT_TRUE (device.isEquivalentTo (&stored, false));
            EXPECT_FALSE (page->isModified());
            EXPECT_FALSE (page->consumeChangeFlag());

            auto& matrix = matrixOf (device);
            for (int k = 0; k < MatrixComponent::numPoints; ++k)
            {
                const auto& point = page->getPoint (k);
                const int step = parameter (matrix, k)->getIntAttribute ("StepValue");
                EXPECT_EQ (point.on, step > -61) << k;
                EXPECT_EQ (point.enabled, point.getInput() < familyOf (device).inputs &&
                                              point.getOutput() < familyOf (device).outputs)
                    << k;
                if (point.on)
                    EXPECT_EQ (point.getLevel(), 0.5f * (float)step) << k;
            }

            auto* storedChoice = device.getChildByName ("MatrixSelection")->getChildByName ("ComboBox");
            EXPECT_EQ (page->getSelectedPresetId(), storedChoice->getIntAttribute ("SelId"));
            EXPECT_EQ (page->getPresetBox().getText(), storedChoice->getStringAttribute ("Value"));
        });
}

TEST_F (MatrixComponentTest, ClicksAndTheSliderWritePointLevelsAndDropThePresetChoice)
{
    auto device = zeltaM();
    auto page = makePage (*device);
    auto& matrix = matrixOf (*device);
    ASSERT_EQ (choice (*device), "Default/1");

    // In2 to Out1 is off: a click selects and connects it at 0 dB.
    clickPoint (*page, 1);
    EXPECT_EQ (page->getSelectedPoint(), 1);
    EXPECT_EQ (written (matrix, 1), "0.0 dB/0");
    EXPECT_EQ (choice (*device), "No selection/0");
    EXPECT_EQ (page->getPresetBox().getSelectedId(), 0);
    EXPECT_TRUE (page->consumeChangeFlag());
    EXPECT_FALSE (page->consumeChangeFlag());
    EXPECT_TRUE (page->isModified());

    page->getLevelSlider().setValue (-6.0, juce::sendNotificationSync);
    EXPECT_EQ (written (matrix, 1), "-6.0 dB/-12");
    EXPECT_TRUE (page->consumeChangeFlag());

    // A second click disconnects it; a third restores the level it had.
    clickPoint (*page, 1);
    EXPECT_EQ (written (matrix, 1), "-30.5 dB/-61");
    EXPECT_FALSE (page->getLevelSlider().isEnabled());
    clickPoint (*page, 1);
    EXPECT_EQ (written (matrix, 1), "-6.0 dB/-12");
    EXPECT_EQ (page->getLevelSlider().getValue(), -6.0);

    // Selecting a connected point changes nothing in the document.
    const juce::XmlElement before (matrix);
    clickPoint (*page, 0);
    EXPECT_EQ (page->getSelectedPoint(), 0);
    EXPECT_TRUE (matrix.isEquivalentTo (&before, false));

    // Nothing happens outside the grid, on a point of a missing channel, or while
    // every output belongs to a GPI.
    auto zelta70 = std::make_unique<juce::XmlElement> (*library->getElement (2));
    auto small = makePage (*zelta70);
    const juce::XmlElement stored (*zelta70);
    clickPoint (*small, 4); // output 2 of a one-output family
    click (*small, { 2.0f, 2.0f });
    small->setControlledByGpi (true);
    clickPoint (*small, 1);
    EXPECT_TRUE (zelta70->isEquivalentTo (&stored, false));
    EXPECT_FALSE (small->consumeChangeFlag());
    EXPECT_FALSE (small->getPresetBox().isEnabled());
    EXPECT_FALSE (small->getLevelSlider().isVisible());
}

TEST_F (MatrixComponentTest, MasksMarkGpiOutputsAndPresetsKeepTheMarks)
{
    auto device = zeltaM();
    auto page = makePage (*device);
    auto& matrix = matrixOf (*device);

    // Outputs 1 and 3 edited here; 2 and 4 belong to a GPI.
    page->applyGpiInputMask (0x05);
    for (int k = 4; k < 8; ++k)
        EXPECT_EQ (written (matrix, k), "0.5 dB/1") << k;
    EXPECT_EQ (written (matrix, 0), "0.0 dB/0");
    EXPECT_EQ (written (matrix, 10), "0.0 dB/0");
    clickPoint (*page, 5);
    EXPECT_EQ (page->getSelectedPoint(), 0); // marked points take no clicks

    page->getPresetBox().setSelectedId (8, juce::sendNotificationSync); // "Mono All": -12 dB everywhere
    EXPECT_EQ (choice (*device), "Mono All/8");
    EXPECT_EQ (written (matrix, 2), "-12.0 dB/-24");
    EXPECT_EQ (written (matrix, 10), "-12.0 dB/-24");
    EXPECT_EQ (written (matrix, 6), "0.5 dB/1");
    EXPECT_TRUE (page->consumeChangeFlag());

    // Once output 2 is editable again, it has the levels of the preset.
    page->applyGpiInputMask (0x0f);
    EXPECT_EQ (written (matrix, 6), "-12.0 dB/-24");
    EXPECT_FALSE (page->getPoint (6).marked);
}

TEST_F (MatrixComponentTest, ReadsParametersByNameAndLeavesReadBackDocumentsAlone)
{
    // The settings-block reader writes Id and StepValue only; hand-made documents
    // may hold the attributes in any order.
    auto device = zeltaM();
    auto& matrix = matrixOf (*device);
    matrix.deleteAllChildElements();
    for (int k = 0; k < 16; ++k)
    {
        auto* p = matrix.createNewChildElement ("PARAMETER");
        p->setAttribute ("Id", k);
        p->setAttribute ("StepValue", k == 0 ? -12 : (k >= 12 ? 1 : -61));
    }
    auto* reordered = parameter (matrix, 5);
    reordered->removeAttribute ("StepValue");
    reordered->setAttribute ("DisplayValue", "-3.5 dB");
    reordered->setAttribute ("Name", "In2 to Out2");

    const juce::XmlElement stored (*device);
    auto page = makePage (*device);
    page->applyGpiInputMask (0x07);
    pumpMessages();

    EXPECT_TRUE (page->getPoint (12).marked);
    EXPECT_TRUE (page->getPoint (0).on);
    EXPECT_EQ (page->getPoint (0).getLevel(), -6.0f);
    EXPECT_EQ (page->getPoint (5).getLevel(), -3.5f);
    EXPECT_FALSE (page->getPoint (1).on);
    EXPECT_TRUE (device->isEquivalentTo (&stored, false));
    EXPECT_FALSE (page->isModified());

    // Stored marks whose output is no longer switched by a GPI are off points.
    page->applyGpiInputMask (0x0f);
    EXPECT_FALSE (page->getPoint (12).on);
    EXPECT_EQ (written (matrix, 12), "-30.5 dB/-61");
}

TEST_F (MatrixComponentTest, MissingEffectsAndParametersAreShownNotRepaired)
{
    // No matrix EFFECT, or no CORVADINE at all: nothing to edit, nothing written.
    for (const auto* cut : { "EFFECT", "CORVADINE" })
    {
        SCOPED_TRACE (cut);
        auto device = zeltaM();
        if (juce::String (cut) == "EFFECT")
            device->getChildByName ("CORVADINE")->removeChildElement (&matrixOf (*device), true);
        else
            device->removeChildElement (device->getChildByName ("CORVADINE"), true);
        device->removeChildElement (device->getChildByName ("MatrixSelection"), true);

        const juce::XmlElement stored (*device);
        auto page = makePage (*device);
        for (int k = 0; k < 16; ++k)
            clickPoint (*page, k);
        page->applyGpiInputMask (0x03);
        page->getLevelSlider().setValue (-3.0, juce::sendNotificationSync);
        page->getPresetBox().setSelectedItemIndex (2, juce::sendNotificationSync);
        pumpMessages();

        EXPECT_TRUE (device->isEquivalentTo (&stored, false));
        EXPECT_FALSE (page->isModified());
        EXPECT_FALSE (page->getPresetBox().isEnabled());
    }

    // One PARAMETER missing: its point is not shown, the others keep their Ids.
    auto device = zeltaM();
    auto& matrix = matrixOf (*device);
    matrix.removeChildElement (parameter (matrix, 0), true);
    device->removeChildElement (device->getChildByName ("MatrixSelection"), true);
    auto page = makePage (*device);
    EXPECT_FALSE (page->getPoint (0).enabled);
    EXPECT_EQ (choice (*device), "No selection/0"); // no preset was applied
    EXPECT_FALSE (page->isModified());

    page->getPresetBox().setSelectedId (3, juce::sendNotificationSync); // "Mono 2": In2 to every output
    EXPECT_EQ (written (matrix, 0), "missing");
    EXPECT_EQ (written (matrix, 1), "0.0 dB/0");
    EXPECT_EQ (written (matrix, 2), "-30.5 dB/-61");
    EXPECT_EQ (written (matrix, 5), "0.0 dB/0");
    EXPECT_EQ (written (matrix, 13), "0.0 dB/0");
    EXPECT_EQ (matrix.getNumChildElements(), 15);
}

TEST_F (MatrixComponentTest, EditsAMatrixStepAndLetsGoOfItWhenDetached)
{
    // A source selector's second step: PARAMETER Ids 21 to 36.
    auto device = zeltaM();
    auto* mod = device->getChildByName ("CORVADINE")->createNewChildElement ("MATRIXMOD");
    auto* step = mod->createNewChildElement ("EFFECT");
    step->setAttribute ("Name", "Matrix Step 2");
    step->setAttribute ("Id", 4);
    for (int k = 0; k < 16; ++k)
    {
        auto* p = step->createNewChildElement ("PARAMETER");
        p->setAttribute ("Name", "x");
        p->setAttribute ("Id", 21 + k);
        p->setAttribute ("DisplayValue", k == 3 ? "-6.0 dB" : "-30.5 dB");
        p->setAttribute ("StepValue", k == 3 ? -12 : -61);
    }
    const juce::XmlElement stored (*device);

    // The position shows "Mono 1": shown, not applied over the step's levels.
    auto editor = makePage (*step, 21, 2);
    pumpMessages();
    EXPECT_EQ (editor->getSelectedPresetId(), 2);
    EXPECT_TRUE (editor->getPoint (3).on);
    EXPECT_TRUE (device->isEquivalentTo (&stored, false));
    EXPECT_EQ (device->getChildByName ("MatrixSelection")->toString(),
               stored.getChildByName ("MatrixSelection")->toString());

    // Another preset chosen on the GPI page reaches the step.
    editor->setSelectedPresetId (3); // "Mono 2"
    pumpMessages();
    EXPECT_EQ (written (*step, 21 + 1), "0.0 dB/0");
    EXPECT_EQ (written (*step, 21 + 3), "-30.5 dB/-61");
    EXPECT_TRUE (editor->consumeChangeFlag());

    clickPoint (*editor, 2);
    EXPECT_EQ (written (*step, 21 + 2), "0.0 dB/0");
    EXPECT_EQ (editor->getSelectedPresetId(), 0);

    // The MATRIXMOD leaves the document: the editor must not touch it again.
    editor->detachFromDocument();
    device->getChildByName ("CORVADINE")->removeChildElement (mod, true);
    clickPoint (*editor, 5);
    editor->getLevelSlider().setValue (-9.0, juce::sendNotificationSync);
    editor->applyGpiInputMask (0x01);
    editor->setSelectedPresetId (8);
    pumpMessages();
    EXPECT_EQ (editor->getMatrixEffect(), nullptr);
    EXPECT_EQ (editor->getElement(), nullptr);
}
