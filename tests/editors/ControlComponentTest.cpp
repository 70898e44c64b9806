#include "document/SettingsDocument.h"
#include "editors/ControlComponent.h"
#include "editors/MatrixComponent.h"
#include "testing/user/ScriptedUserInteraction.h"
#include "tests/editors/ControlTestSupport.h"

using namespace controltest;

namespace
{
class ControlPageTest : public ::testing::Test
{
protected:
    DesktopReady beforeTheDisplayOpens;
    juce::ScopedJuceInitialiser_GUI gui;
    PresetLibrary library;
    ScriptedUserInteraction user;

    // A four-output device from its template, with the GPI state left out when asked.
    std::unique_ptr<juce::XmlElement> device (int familyId = 1, bool withControlSelection = true)
    {
        auto made = std::make_unique<juce::XmlElement> (*library.getElement (familyId));
        if (!withControlSelection)
            made->removeChildElement (made->getChildByName ("ControlSelection"), true);
        return made;
    }

    std::unique_ptr<ControlComponent> build (juce::XmlElement& deviceElement)
    {
        auto page = std::make_unique<ControlComponent> (&deviceElement, &library, familyOf (deviceElement));
        page->setUserInteraction (user);
        page->setSize (400, 400);
        settle();
        editortest::checkPagesOf (*page);
        return page;
    }

    static juce::XmlElement* gpiState (juce::XmlElement& deviceElement, int number)
    {
        return deviceElement.getChildByName ("ControlSelection")
            ->getChildByName ("GPI" + juce::String (number));
    }

    static juce::String stateValue (juce::XmlElement& deviceElement, int number, const char* tag, int id,
                                    const char* attribute = "SelId")
    {
        return attributeOf (findChildById (*gpiState (deviceElement, number), tag, id), attribute);
    }

    static juce::XmlElement* controlsParameter (juce::XmlElement& deviceElement, int id)
    {
        return findChildById (*deviceElement.getChildByName ("CORVADINE")->getChildByName ("CONTROLS"),
                              "PARAMETER", id);
    }

    static juce::StringArray modifiers (juce::XmlElement& deviceElement)
    {
        juce::StringArray found;
        for (auto* m : deviceElement.getChildByName ("CORVADINE")->getChildWithTagNameIterator ("MODIFIER"))
            found.add (m->getStringAttribute ("Id") + ":" +
                       m->getFirstChildElement()->getStringAttribute ("StepValue"));
        return found;
    }

    static void clickTab (ControlTabs& tabs, int downTab, int upTab)
    {
        editortest::click (tabs, tabs.getTabArea (downTab).getCentre(), tabs.getTabArea (upTab).getCentre());
        settle();
    }
};

struct TabRecorder : ControlTabs::Listener
{
    int calls = 0;
    void controlTabChanged (ControlTabs&) override { ++calls; }
};
} // namespace

TEST_F (ControlPageTest, BuildingThePagesOfAStoredDeviceChangesNothing)
{
    int devices = 0;
    editortest::forEachShippedDeviceAndItsReadBack (
        library,
        [&] (const juce::String& name, const juce::XmlElement& stored)
        {
            ++devices;
            juce::XmlElement working (stored);
            {
                auto page = build (working);
                EXPECT_FALSE (page->isModified()) << name;
                EXPECT_TRUE (working.isEquivalentTo (&stored, false)) << name;

                // Visiting every tab is looking too.
                for (int tab : { 1, 2, 0 })
                    clickTab (page->getTabs(), tab, tab);
                EXPECT_TRUE (working.isEquivalentTo (&stored, false)) << name;
            }
            EXPECT_TRUE (working.isEquivalentTo (&stored, false)) << name << ": closing the page wrote";
        });
    EXPECT_EQ (devices, 24);
    EXPECT_EQ (user.calls.size(), 0u);

    // The choice of a source set is kept while another function is chosen.
    auto made = device();
    auto* gpi1 = gpiState (*made, 1);
    const int wake = GPIComponent::wake + 1, set = 12;
    SetupComponent::storeWidget (*gpi1, "ComboBox", 0, "Wake", &wake);
    SetupComponent::storeWidget (*gpi1, "ComboBox", 1, "SPK1 and SPK2 and OUT4", &set);
    controlsParameter (*made, 1)->setAttribute ("DisplayValue", "Wake Up");
    controlsParameter (*made, 1)->setAttribute ("StepValue", 2);
    const juce::XmlElement stored (*made);
    build (*made);
    EXPECT_TRUE (made->isEquivalentTo (&stored, false));
}

TEST_F (ControlPageTest, ANewDeviceStartsWithoutFunctionAndTheTypeSetsTheKnobs)
{
    auto made = device (1, false);
    auto page = build (*made);
    EXPECT_FALSE (page->isModified()); // the element it had to add is no change

    EXPECT_EQ (stateValue (*made, 1, "ComboBox", 0), "1");
    EXPECT_EQ (stateValue (*made, 2, "ComboBox", 1), "1");
    EXPECT_EQ (stateValue (*made, 1, "ComboBox", 2, "Value"), "Closing Contact");
    EXPECT_EQ (stateValue (*made, 1, "Voltage", 3, "Value"), "871.0");
    EXPECT_EQ (stateValue (*made, 1, "Voltage", 5, "Value"), "1025"); // knob 3 unused by a contact

    auto& gpi = page->getGpi (0);
    choose (child<juce::ComboBox> (gpi, "function"), GPIComponent::sourceSelector + 1);
    choose (child<juce::ComboBox> (gpi, "inputType"), 4);
    EXPECT_EQ (stateValue (*made, 1, "Voltage", 6, "Value"), "175.0");
    EXPECT_TRUE (page->isModified());

    auto* matrixMod = findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 20);
    ASSERT_NE (matrixMod, nullptr);
    const auto bound = [&] (int effect, int parameter)
    {
        return attributeOf (
            findChildById (*findChildById (*matrixMod, "EFFECT", effect), "PARAMETER", parameter),
            "StepValue");
    };
    EXPECT_EQ (bound (1, 1), "752");
    EXPECT_EQ (bound (7, 56), "310");

    choose (child<juce::ComboBox> (gpi, "inputType"), 1);
    EXPECT_EQ (stateValue (*made, 1, "Voltage", 3, "Value"), "1023.0");
    EXPECT_EQ (stateValue (*made, 1, "Voltage", 4, "Value"), "0.0");
    EXPECT_EQ (stateValue (*made, 1, "Voltage", 6, "Value"), "1025");
    EXPECT_EQ (bound (1, 1), "511");
    EXPECT_EQ (bound (3, 20), "510");
    EXPECT_EQ (bound (5, 37), "2048");

    // The user turns a knob: the band moves with it.
    child<juce::Slider> (gpi, "knob2").setValue (200, juce::sendNotificationSync);
    EXPECT_EQ (bound (3, 20), "610");

    // Leaving Source Selector takes the element out of the document.
    choose (child<juce::ComboBox> (gpi, "function"), GPIComponent::muteAll + 1);
    EXPECT_EQ (findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 20), nullptr);
    EXPECT_EQ (attributeOf (controlsParameter (*made, 1), "DisplayValue"), "Mute All");
}

TEST_F (ControlPageTest, OutputLevelWritesTheModifiersOfItsOutputs)
{
    auto made = device();
    // One slot of the eight is taken by a modifier of another source.
    auto* foreign = made->getChildByName ("CORVADINE")->createNewChildElement ("MODIFIER");
    foreign->setAttribute ("Id", 18);
    foreign->createNewChildElement ("PARAMETER")->setAttribute ("StepValue", 0);
    auto page = build (*made);

    auto& gpi2 = page->getGpi (1);
    clickTab (page->getTabs(), 1, 1);
    choose (child<juce::ComboBox> (gpi2, "function"), GPIComponent::outputLevel + 1);
    choose (child<juce::ComboBox> (gpi2, "outputSet"), 1); // SPK1
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "18:0 4:3");
    auto* written = findChildById (*made->getChildByName ("CORVADINE"), "MODIFIER", 4);
    EXPECT_EQ (findChildById (*written, "PARAMETER", 2)->getStringAttribute ("DisplayValue"),
               "Output Gain 1D");
    EXPECT_EQ (attributeOf (controlsParameter (*made, 2), "DisplayValue"), "ADC");

    choose (child<juce::ComboBox> (gpi2, "outputSet"), 15);
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "18:0 4:3 6:3 8:3 10:3");
    EXPECT_EQ (stateValue (*made, 2, "ComboBox", 1, "Value"), "SPK1 and SPK2 and OUT3 and OUT4");

    // GPI 1 on Output Level too: no room for four more, and the amplifier must
    // not get part of it. The user is told; nothing changes.
    clickTab (page->getTabs(), 0, 0);
    auto& function1 = child<juce::ComboBox> (page->getGpi (0), "function");
    choose (function1, GPIComponent::outputLevel + 1);
    choose (child<juce::ComboBox> (page->getGpi (0), "outputSet"), 5); // SPK1 and SPK2 fit
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "18:0 4:3 6:3 8:3 10:3 12:2 14:2");
    const auto before = made->toString();
    choose (child<juce::ComboBox> (page->getGpi (0), "outputSet"), 15);
    EXPECT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (made->toString(), before);
    EXPECT_EQ (child<juce::ComboBox> (page->getGpi (0), "outputSet").getSelectedId(), 5);
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "18:0 4:3 6:3 8:3 10:3 12:2 14:2");

    // Mute All lets go of them; the Ids are free for the next writer.
    choose (function1, GPIComponent::muteAll + 1);
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "18:0 4:3 6:3 8:3 10:3 12:-1 14:-1");
}

TEST_F (ControlPageTest, Rs232TakesBothInputsAndOnlyTheFirstWritesItsModifiers)
{
    auto made = device();
    auto page = build (*made);

    auto rs232Help = [&] (int gpi)
    {
        for (auto* component : page->getGpi (gpi).getChildren())
            if (component->getName() == "RS232 Label")
                return component->isVisible();
        return false;
    };
    EXPECT_FALSE (rs232Help (0) || rs232Help (1));

    clickTab (page->getTabs(), 1, 1);
    choose (child<juce::ComboBox> (page->getGpi (1), "function"), GPIComponent::rs232 + 1);
    EXPECT_EQ (page->getGpi (0).getFunctionIndex(), GPIComponent::rs232);
    // Both pages say where the dongle goes.
    EXPECT_TRUE (rs232Help (0) && rs232Help (1));
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "4:6 6:7 8:8 10:9");
    EXPECT_EQ (attributeOf (controlsParameter (*made, 1), "DisplayValue"), "RS232");
    EXPECT_EQ (attributeOf (controlsParameter (*made, 2), "StepValue"), "4");

    clickTab (page->getTabs(), 0, 0);
    choose (child<juce::ComboBox> (page->getGpi (0), "function"), GPIComponent::wake + 1);
    EXPECT_EQ (page->getGpi (1).getFunctionIndex(), GPIComponent::noFunction);
    EXPECT_FALSE (rs232Help (0) || rs232Help (1));
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "4:-1 6:-1 8:-1 10:-1");
    EXPECT_EQ (attributeOf (controlsParameter (*made, 2), "DisplayValue"), "No Func");
}

TEST_F (ControlPageTest, TwoSourceSelectorsNeverSwitchTheSameOutput)
{
    auto made = device();
    auto page = build (*made);
    auto& gpi1 = page->getGpi (0);
    auto& gpi2 = page->getGpi (1);

    choose (child<juce::ComboBox> (gpi1, "function"), GPIComponent::sourceSelector + 1);
    EXPECT_EQ (page->getSourceSelectorInputMask(), 0x01);

    clickTab (page->getTabs(), 1, 1);
    choose (child<juce::ComboBox> (gpi2, "function"), GPIComponent::sourceSelector + 1);
    // SPK1 is GPI 1's: the first set GPI 2 may take is SPK2.
    EXPECT_EQ (child<juce::ComboBox> (gpi2, "sourceSet").getSelectedId(), 2);
    choose (child<juce::ComboBox> (gpi2, "sourceSet"), 10); // OUT3 and OUT4
    EXPECT_EQ (page->getSourceSelectorInputMask(), 0x0d);

    // Back on GPI 1, the sets holding OUT3 or OUT4 are closed; SPK1 stays.
    clickTab (page->getTabs(), 0, 0);
    auto& sets1 = child<juce::ComboBox> (gpi1, "sourceSet");
    EXPECT_FALSE (sets1.isItemEnabled (3));
    EXPECT_TRUE (sets1.isItemEnabled (5));
    EXPECT_EQ (sets1.getSelectedId(), 1);

    // GPI 2 takes every output: GPI 1 cannot be a source selector any more.
    clickTab (page->getTabs(), 1, 1);
    choose (child<juce::ComboBox> (gpi2, "sourceSet"), 14); // SPK2, OUT3, OUT4
    EXPECT_EQ (page->getSourceSelectorInputMask(), 0x0f);
    choose (child<juce::ComboBox> (gpi2, "sourceSet"), 15);
    clickTab (page->getTabs(), 0, 0);
    EXPECT_FALSE (child<juce::ComboBox> (gpi1, "function").isItemEnabled (GPIComponent::sourceSelector + 1));
    EXPECT_EQ (gpi1.getFunctionIndex(), GPIComponent::noFunction);
    EXPECT_EQ (findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 20), nullptr);
    EXPECT_EQ (page->getSourceSelectorInputMask(), 0x0f);
}

TEST_F (ControlPageTest, ALegacyStateIsMigratedWhenThePageIsBuilt)
{
    auto made = device();
    auto* controlSelection = made->getChildByName ("ControlSelection");
    controlSelection->deleteAllChildElements();
    // GPI 1 Output Level on every output; GPI 2 a source selector whose
    // positions name the presets Mute, Stereo 1/2, Stereo 3/4 and Stereo 3/4.
    for (auto [id, selId] : { std::pair<int, int>{ 0, 2 }, { 1, 13 }, { 2, 3 }, { 3, 1 } })
    {
        auto* combo = controlSelection->createNewChildElement ("ComboBox");
        combo->setAttribute ("id", id);
        combo->setAttribute ("SelId", selId);
    }

    auto page = build (*made);
    EXPECT_EQ (page->getGpi (0).getFunctionIndex(), GPIComponent::outputLevel);
    EXPECT_EQ (child<juce::ComboBox> (page->getGpi (0), "outputSet").getSelectedId(), 15);
    EXPECT_EQ (page->getGpi (1).getFunctionIndex(), GPIComponent::sourceSelector);
    EXPECT_EQ (modifiers (*made).joinIntoString (" "), "4:2 6:2 8:2 10:2");
    EXPECT_TRUE (page->isModified()); // the document changed: there is something to save

    // The device had no MATRIXMOD: each generated step carries the matrix its
    // position shows, not the first preset.
    auto* matrixMod = findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 22);
    ASSERT_NE (matrixMod, nullptr);
    const int positions[] = { 12, 9, 10, 10 };
    for (int k = 1; k <= 4; ++k)
    {
        const juce::XmlElement* preset = nullptr;
        for (auto* candidate : *library.getList (4))
            if (candidate->getIntAttribute ("Id") == positions[k - 1])
                preset = candidate->getChildByName ("EFFECT");
        ASSERT_NE (preset, nullptr);
        EXPECT_EQ (child<juce::ComboBox> (page->getGpi (1), "position" + juce::String (k)).getSelectedId(),
                   positions[k - 1]);
        for (int point = 0; point < 16; ++point)
            EXPECT_EQ (attributeOf (findChildById (*findChildById (*matrixMod, "EFFECT", 2 * k), "PARAMETER",
                                                   3 + 18 * (k - 1) + point),
                                    "StepValue"),
                       attributeOf (findChildById (*preset, "PARAMETER", point), "StepValue"))
                << "step " << k << " point " << point;
    }
}

TEST_F (ControlPageTest, ADeviceWithoutSettingsDocumentGetsNone)
{
    auto made = device();
    made->removeChildElement (made->getChildByName ("CORVADINE"), true);
    auto page = build (*made);

    for (auto function : { GPIComponent::outputLevel, GPIComponent::sourceSelector, GPIComponent::rs232 })
        choose (child<juce::ComboBox> (page->getGpi (0), "function"), function + 1);

    EXPECT_EQ (made->getChildByName ("CORVADINE"), nullptr);
    EXPECT_EQ (stateValue (*made, 1, "ComboBox", 0), "6");
}

TEST_F (ControlPageTest, TabsAreChosenWhereThePressBeganAndReportOnlyChanges)
{
    auto made = device();
    auto page = build (*made);
    auto& tabs = page->getTabs();
    TabRecorder recorder;
    tabs.addListener (&recorder);

    clickTab (tabs, 1, 2);
    EXPECT_EQ (tabs.getSelectedTab(), 1);
    EXPECT_TRUE (page->getGpi (1).isVisible());
    EXPECT_FALSE (page->getGpi (0).isVisible());
    clickTab (tabs, 1, 1);
    EXPECT_EQ (recorder.calls, 1);

    clickTab (tabs, 2, 2);
    EXPECT_TRUE (page->getGpo().isVisible());
    page->getGpo().setSize (100, 100);
    EXPECT_FALSE (page->isModified());
    tabs.removeListener (&recorder);
}

TEST_F (ControlPageTest, AChangeOnEachGpiIsReportedOnePollAtATime)
{
    auto made = device();
    auto page = build (*made);
    for (int poll = 0; poll < 3; ++poll)
        page->consumeChangeFlag(); // the freshly built pages' own reports

    child<juce::Slider> (page->getGpi (0), "knob1").setValue (5, juce::sendNotificationSync);
    child<juce::Slider> (page->getGpi (1), "knob1").setValue (5, juce::sendNotificationSync);
    EXPECT_TRUE (page->consumeChangeFlag());
    EXPECT_TRUE (page->consumeChangeFlag());
    EXPECT_FALSE (page->consumeChangeFlag());
}

namespace
{
int visibleCallOuts()
{
    int count = 0;
    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        if (auto* box = dynamic_cast<juce::CallOutBox*> (juce::Desktop::getInstance().getComponent (i)))
            count += box->isVisible() ? 1 : 0;
    return count;
}

int callOutWindows()
{
    int count = 0;
    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        count += dynamic_cast<juce::CallOutBox*> (juce::Desktop::getInstance().getComponent (i)) != nullptr
                     ? 1
                     : 0;
    return count;
}

MatrixComponent* openEditor()
{
    for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i)
        if (auto* box = dynamic_cast<juce::CallOutBox*> (juce::Desktop::getInstance().getComponent (i)))
            for (auto* content : box->getChildren())
                if (auto* editor = dynamic_cast<MatrixComponent*> (content))
                    return editor;
    return nullptr;
}
} // namespace

TEST_F (ControlPageTest, AnEditedMatrixStepComesBackToItsPositionAsCustom)
{
    auto made = device();
    auto page = build (*made);
    auto& gpi = page->getGpi (0);
    choose (child<juce::ComboBox> (gpi, "function"), GPIComponent::sourceSelector + 1);
    choose (child<juce::ComboBox> (gpi, "sourceSet"), 15); // every output switched
    choose (child<juce::ComboBox> (gpi, "position1"), 9);  // Stereo 1/2
    auto* step1 =
        findChildById (*findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 20), "EFFECT", 2);
    EXPECT_EQ (attributeOf (findChildById (*step1, "PARAMETER", 3 + 4), "StepValue"),
               "-61"); // In1 to Out2 off
    page->consumeChangeFlag();
    page->consumeChangeFlag();

    child<EditButton> (gpi, "edit1").triggerClick();
    settle();
    ASSERT_EQ (visibleCallOuts(), 1);
    auto* editor = openEditor();
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getSelectedPresetId(), 9);

    // The user connects input 1 to output 2 and clicks outside the box.
    editortest::click (*editor, editor->getPointArea (4).getCentre());
    EXPECT_EQ (attributeOf (findChildById (*step1, "PARAMETER", 3 + 4), "StepValue"), "0");
    child<EditButton> (gpi, "edit1").triggerClick();
    settle();

    EXPECT_EQ (visibleCallOuts(), 0);
    EXPECT_FALSE (child<EditButton> (gpi, "edit1").getToggleState());
    EXPECT_EQ (child<juce::ComboBox> (gpi, "position1").getText(), "Custom");
    EXPECT_EQ (stateValue (*made, 1, "ComboBox", 7), "0");
    EXPECT_EQ (stateValue (*made, 1, "ComboBox", 7, "Value"), "Custom");
    EXPECT_TRUE (page->consumeChangeFlag());

    // Shown again (another device was selected in between), the step is edited
    // once more: its position shows "Custom" already, and the edit still counts
    // as a change to save.
    page.reset();
    page = build (*made);
    auto& again = page->getGpi (0);
    EXPECT_FALSE (page->isModified());
    child<EditButton> (again, "edit1").triggerClick();
    settle();
    ASSERT_NE (openEditor(), nullptr);
    editortest::click (*openEditor(), openEditor()->getPointArea (1).getCentre()); // In2 to Out1 on
    child<EditButton> (again, "edit1").triggerClick();
    settle();
    EXPECT_EQ (stateValue (*made, 1, "ComboBox", 7), "0");
    EXPECT_TRUE (page->isModified());
}

TEST_F (ControlPageTest, AnOpenCallOutGoesWithItsStepItsPageAndItsDevice)
{
    auto made = device();
    auto page = build (*made);
    auto& gpi = page->getGpi (0);
    choose (child<juce::ComboBox> (gpi, "function"), GPIComponent::sourceSelector + 1);
    child<EditButton> (gpi, "edit2").triggerClick();
    settle();
    ASSERT_EQ (visibleCallOuts(), 1);

    // The function leaves Source Selector while the box is open: the steps it
    // edits leave the document, and nothing may write into them afterwards.
    choose (child<juce::ComboBox> (gpi, "function"), GPIComponent::wake + 1);
    EXPECT_EQ (callOutWindows(), 0);
    EXPECT_EQ (openEditor(), nullptr);
    choose (child<juce::ComboBox> (gpi, "sourceSet"), 3);
    gpi.setOtherGpiOutputMask (0x01);
    choose (child<juce::ComboBox> (gpi, "position2"), 12);
    EXPECT_EQ (findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 20), nullptr);

    // Back to Source Selector on the same page: the steps return, with new editors.
    choose (child<juce::ComboBox> (gpi, "function"), GPIComponent::sourceSelector + 1);
    EXPECT_NE (findChildById (*made->getChildByName ("CORVADINE"), "MATRIXMOD", 20), nullptr);
    child<EditButton> (gpi, "edit1").triggerClick();
    settle();
    ASSERT_EQ (visibleCallOuts(), 1);

    // The page goes (another device selected, or the window closed) with the box open.
    page.reset();
    settle();
    EXPECT_EQ (callOutWindows(), 0);
    EXPECT_EQ (juce::ModalComponentManager::getInstance()->getNumModalComponents(), 0);
}
