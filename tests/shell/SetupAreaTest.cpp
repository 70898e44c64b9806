#include "tests/shell/MainContentTestSupport.h"

#include "document/CorvadineXmlToSyx.h"
#include "document/SettingsDocument.h"
#include "document/SettingsSyxToXml.h"
#include "editors/ControlComponent.h"
#include "editors/MatrixComponent.h"
#include "testing/emulator/AmplifierEmulator.h"
#include "tests/look/LookPaintHelpers.h"

using namespace maintest;

namespace
{
class SetupAreaTest : public MainContentTest
{
protected:
    SetupArea& area() { return content->getSetupArea(); }

    // A click as the hand-drawn controls see it: they act when the button comes up.
    static void clickAt (juce::Component& component, juce::Point<float> where)
    {
        const auto now = juce::Time::getCurrentTime();
        component.mouseUp (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), where,
                                             juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f,
                                             0.0f, &component, &component, now, where, now, 1, false));
    }

    void chooseTab (int tab)
    {
        auto& bar = area().getTabSelector();
        clickAt (bar, bar.getTabArea (tab).getCentre());
    }

    // The device as the diagram keeps it: a device without a model is a "ZELTA M".
    static juce::XmlElement asOpened (const juce::XmlElement& stored)
    {
        juce::XmlElement device (stored);
        if (device.getStringAttribute ("model").isEmpty())
            device.setAttribute ("model", "ZELTA M");
        return device;
    }

    static const juce::XmlElement& nthDevice (const juce::XmlElement& application, int n)
    {
        for (auto* device : application.getChildWithTagNameIterator ("Device"))
            if (n-- == 0)
                return *device;
        return application;
    }

    // Every control the user can reach on the page, changed once: each combo box to
    // its next item (not one that opens a dialog), each slider to another value,
    // each tick box toggled, each matrix point clicked.
    static void changeEveryControl (juce::Component& component)
    {
        if (auto* matrix = dynamic_cast<MatrixComponent*> (&component))
            for (int k = 0; k < MatrixComponent::numPoints; ++k)
                if (matrix->getPoint (k).enabled && !matrix->getPoint (k).marked)
                    clickAt (*matrix, matrix->getPointArea (k).getCentre());

        for (auto* child : component.getChildren())
        {
            if (!child->isShowing() || !child->isEnabled())
                continue;

            if (auto* combo = dynamic_cast<juce::ComboBox*> (child))
            {
                for (int i = 1; i < combo->getNumItems(); ++i)
                {
                    const int index = (combo->getSelectedItemIndex() + i) % combo->getNumItems();
                    if (combo->isItemEnabled (combo->getItemId (index)) &&
                        !combo->getItemText (index).endsWith ("..."))
                    {
                        combo->setSelectedItemIndex (index, juce::sendNotificationSync);
                        break;
                    }
                }
            }
            else if (auto* slider = dynamic_cast<juce::Slider*> (child))
            {
                const auto range = slider->getRange();
                slider->setValue (slider->snapValue (range.getStart() + 0.37 * range.getLength(),
                                                     juce::Slider::notDragging),
                                  juce::sendNotificationSync);
            }
            else if (auto* tick = dynamic_cast<juce::ToggleButton*> (child))
            {
                tick->setToggleState (!tick->getToggleState(), juce::sendNotificationSync);
            }

            changeEveryControl (*child);
        }
    }

    // What the amplifier gets: every PARAMETER's step under its element's tag and Id.
    static std::map<juce::String, int> carriedValues (const juce::XmlElement& corvadine)
    {
        std::map<juce::String, int> values;
        for (auto* element : corvadine.getChildIterator())
        {
            const auto key = element->getTagName() + " " + element->getStringAttribute ("Id");
            for (auto* parameter : element->getChildWithTagNameIterator ("PARAMETER"))
                values[key + " " + parameter->getStringAttribute ("Id")] =
                    parameter->getIntAttribute ("StepValue");
            for (auto* effect : element->getChildWithTagNameIterator ("EFFECT"))
                for (auto* parameter : effect->getChildWithTagNameIterator ("PARAMETER"))
                    values[key + " " + parameter->getStringAttribute ("Id")] =
                        parameter->getIntAttribute ("StepValue");
        }
        return values;
    }

    // Everything but the pages' own state elements, which building a page may
    // complete as the pages prescribe.
    static void expectSameSettings (const juce::XmlElement& device, const juce::XmlElement& stored)
    {
        const auto withoutPageState = [] (const juce::XmlElement& d)
        {
            juce::XmlElement copy (d);
            for (auto* tag : { "InputSelection", "MatrixSelection", "OutputSelection", "ControlSelection" })
                while (auto* state = copy.getChildByName (tag))
                    copy.removeChildElement (state, true);
            copy.removeAttribute ("name");
            return copy;
        };
        const auto a = withoutPageState (device), b = withoutPageState (stored);
        EXPECT_TRUE (a.isEquivalentTo (&b, true));
    }

    static void pump() { juce::MessageManager::getInstance()->runDispatchLoopUntil (30); }

    // Each page is a hidden child of the content, but for the current one, which
    // fills the page area.
    void expectOnlyCurrentPageShown()
    {
        for (int i = 0; i < area().getNumPages(); ++i)
            if (auto* page = area().getPage (i))
            {
                EXPECT_EQ (page->getParentComponent(), content.get()) << i;
                EXPECT_EQ (page->isVisible(), i == area().getCurrentPageIndex()) << i;
            }

        if (auto* page = area().getCurrentPage())
            EXPECT_EQ (page->getBounds(), content->getPageArea());
    }
};
} // namespace

TEST_F (SetupAreaTest, EveryShippedDeviceShowsItsPagesAndLookingChangesNothing)
{
    make();
    content->setSize (1280, 800);
    juce::SharedResourcePointer<PresetLibrary> library;
    int devicesSeen = 0;

    for (int row = 0; row < content->getNumEntries(); ++row)
    {
        if (!content->getEntry (row)->isExample())
            continue;

        content->getListBox().selectRow (row);
        const auto& stored = *content->getEntry (row)->getApplication();
        auto* diagram = content->getDiagram();

        for (int i = 0; i < diagram->getNumDevices(); ++i)
        {
            SCOPED_TRACE (
                (content->getEntry (row)->getTitle() + " device " + juce::String (i)).toStdString());
            diagram->selectDevice (i, false);
            pump();

            auto* device = diagram->getSelectedDeviceXml();
            ASSERT_EQ (area().getNumPages(), SetupArea::numPages);
            auto* matrix = dynamic_cast<MatrixComponent*> (area().getPage (SetupArea::matrixPage));
            ASSERT_NE (matrix, nullptr);
            EXPECT_EQ (matrix->getElement(), device);
            EXPECT_EQ (area().getTabSelector().getNumInputs(),
                       diagram->getSelectedDevice()->getDeviceFamily().inputs);
            expectOnlyCurrentPageShown();

            expectSameSettings (*device, asOpened (nthDevice (stored, i)));
            content->updateModifiedFlag();
            EXPECT_FALSE (content->isModified());

            // Whatever the first look normalised, a second look leaves alone.
            const juce::XmlElement firstLook (*device);
            diagram->selectDevice (i, true);
            pump();
            EXPECT_TRUE (device->isEquivalentTo (&firstLook, false));
            ++devicesSeen;
        }
    }

    EXPECT_EQ (devicesSeen, 9);

    // A device added from each family's template shows its pages unchanged too.
    for (int family = 0; family < DeviceFamily::numFamilies; ++family)
    {
        SCOPED_TRACE (family);
        familyChoice = family + 1;
        lookpaint::click (content->getDiagram()->getAddButton());
        pump();
        auto* device = content->getDiagram()->getSelectedDeviceXml();
        expectSameSettings (*device, *library->getElement (family));
        EXPECT_FALSE (area().anyPageModified());
    }
}

TEST_F (SetupAreaTest, TheChosenTabStaysAcrossDevicesAndChangesArePendingOnce)
{
    make();
    content->setSize (1280, 800);
    const int retail = rowTitled ("Retail/Commercial");
    ASSERT_GE (retail, 0);
    content->getListBox().selectRow (retail);
    auto* diagram = content->getDiagram();
    ASSERT_EQ (diagram->getNumDevices(), 2);

    chooseTab (SetupArea::matrixPage);
    EXPECT_EQ (area().getCurrentPageIndex(), SetupArea::matrixPage);
    expectOnlyCurrentPageShown();

    diagram->selectDevice (1, false);
    EXPECT_EQ (area().getCurrentPageIndex(), SetupArea::matrixPage);
    EXPECT_EQ (area().getTabSelector().getSelectedTab(), SetupArea::matrixPage);
    expectOnlyCurrentPageShown();

    // One click on the MATRIX page: pending once, and the application is modified.
    // (A GPI page reports itself changed once, shortly after it is built.)
    pump();
    content->hasPendingPageChanges();
    auto* matrix = dynamic_cast<MatrixComponent*> (area().getCurrentPage());
    ASSERT_NE (matrix, nullptr);
    EXPECT_EQ (matrix->getElement(), diagram->getSelectedDeviceXml());
    clickAt (*matrix, matrix->getPointArea (1).getCentre());
    EXPECT_TRUE (content->hasPendingPageChanges());
    EXPECT_FALSE (content->hasPendingPageChanges());

    // Rebuilding for another device keeps the tab, and the edit on the device
    // left behind still marks the application.
    chooseTab (SetupArea::inputsPage);
    diagram->selectDevice (0, false);
    EXPECT_EQ (area().getCurrentPageIndex(), SetupArea::inputsPage);
    expectOnlyCurrentPageShown();
    content->updateModifiedFlag();
    EXPECT_TRUE (content->isModified());
}

TEST_F (SetupAreaTest, AfterEveryControlChangedTheDeviceStillGoesWholeIntoASettingsBlock)
{
    make();
    content->setSize (1280, 800);

    for (const auto* title : { "ZELTA Default", "ZELTA 70 Default", "Retail/Commercial" })
    {
        content->getListBox().selectRow (rowTitled (title));
        auto* diagram = content->getDiagram();

        for (int i = 0; i < diagram->getNumDevices(); ++i)
        {
            SCOPED_TRACE (juce::String (title) + " device " + juce::String (i));
            diagram->selectDevice (i, false);

            for (int tab = 0; tab < SetupArea::numPages; ++tab)
            {
                chooseTab (tab);
                pump();
                if (auto* page = area().getCurrentPage())
                    changeEveryControl (*page);
                pump();
            }

            EXPECT_TRUE (content->hasPendingPageChanges());

            // As the Program road sends it: one EFFECT per Id.
            const auto settings =
                copyChildrenById (*diagram->getSelectedDeviceXml()->getChildByName ("CORVADINE"), "EFFECT");
            CorvadineXmlToSyx writer (*settings);
            juce::MemoryOutputStream block;
            EXPECT_TRUE (writer.convertAndWrite (block));
            EXPECT_EQ (writer.getNumDroppedRecords(), 0);

            juce::MemoryInputStream input (block.getData(), block.getDataSize(), false);
            const auto readBack = SettingsSyxToXml (input).createXml();
            ASSERT_NE (readBack, nullptr);
            EXPECT_EQ (carriedValues (*readBack), carriedValues (*settings));
        }
    }
}

TEST_F (SetupAreaTest, LookingAtADeviceReadBackFromTheAmplifierChangesNothing)
{
    AmplifierEmulator emulator ({ "Zelta 240/2M", 0x4003, 0x4002, 119 });
    LinkTiming quick;
    quick.frameSpacingMs = 1;
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts(), quick);
    for (int tick = 0; tick < 20 && link.getLinkState() != BaseCom::connected; ++tick)
        link.timerCallback();
    ASSERT_EQ (link.getLinkState(), BaseCom::connected);

    juce::SharedResourcePointer<PresetLibrary> library;
    juce::Component parent;
    SetupTabSelector::Listener tabs;
    struct : SetupComponent::Listener
    {
        void setupComponentChanged (SetupComponent&) override {}
    } pages;
    SetupArea area (parent, *library, user, documents, tabs, pages);

    for (auto* application : *library->getList (PresetLibrary::exampleCategory))
        for (auto* stored : application->getChildWithTagNameIterator ("Device"))
        {
            SCOPED_TRACE (stored->getStringAttribute ("name").toStdString());
            juce::XmlElement sent (asOpened (*stored));
            ASSERT_TRUE (link.sendApplication (sent));
            juce::XmlElement device ("Device");
            ASSERT_EQ (link.readApplication (device), 0);
            // Settings as the block reader gives them: PARAMETERs with Id and StepValue only.
            ASSERT_FALSE (device.getChildByName ("CORVADINE")
                              ->getFirstChildElement()
                              ->getFirstChildElement()
                              ->hasAttribute ("Name"));

            const juce::XmlElement readBack (device);
            const auto look = [&]
            {
                area.createPages (device, DeviceFamily::fromName (device.getStringAttribute ("model")));
                area.showPages();
                pump();
                EXPECT_FALSE (area.anyPageModified());
            };
            look();
            // The pages may add display texts the block does not carry; every value
            // the amplifier gets stays as it was read.
            EXPECT_EQ (carriedValues (*device.getChildByName ("CORVADINE")),
                       carriedValues (*readBack.getChildByName ("CORVADINE")));

            const juce::XmlElement firstLook (device);
            look();
            EXPECT_TRUE (device.isEquivalentTo (&firstLook, false));
            area.deletePages();
        }
}

TEST_F (SetupAreaTest, GpiSourceSelectorsTakeTheirOutputsFromTheMatrixPage)
{
    make();
    content->setSize (1280, 800);
    content->getListBox().selectRow (rowTitled ("ZELTA Default")); // two outputs
    pump();
    auto* matrix = dynamic_cast<MatrixComponent*> (area().getPage (SetupArea::matrixPage));
    auto* control = dynamic_cast<ControlComponent*> (area().getPage (SetupArea::controlPage));
    ASSERT_NE (matrix, nullptr);
    ASSERT_NE (control, nullptr);
    chooseTab (SetupArea::controlPage);

    const auto findCombo = [] (juce::Component& page, const juce::String& id) -> juce::ComboBox&
    {
        auto* combo = dynamic_cast<juce::ComboBox*> (page.findChildWithID (id));
        if (combo == nullptr)
            throw std::runtime_error (("no combo box " + id).toStdString());
        return *combo;
    };
    auto& gpi = control->getGpi (0);
    const auto choose = [] (juce::ComboBox& combo, int id)
    {
        combo.setSelectedId (id, juce::sendNotificationSync);
        pump();
    };

    // One output switched by the GPI: its points are marked, the rest stays editable.
    choose (findCombo (gpi, "function"), GPIComponent::sourceSelector + 1);
    ASSERT_EQ (control->getSourceSelectorInputMask(), 0x01);
    EXPECT_FALSE (matrix->isControlledByGpi());
    EXPECT_EQ (matrix->getEditableOutputMask(), 0xfe);
    EXPECT_TRUE (matrix->getPoint (0).marked);
    EXPECT_FALSE (matrix->getPoint (4).marked);
    auto* matrixEffect = findEffectById (*content->getDiagram()->getSelectedDeviceXml(), 20);
    EXPECT_EQ (findChildById (*matrixEffect, "PARAMETER", 0)->getIntAttribute ("StepValue"), 1);

    // Every output of the family switched: the whole matrix belongs to the GPIs, at
    // once and again when the MATRIX tab is chosen.
    auto& sets = findCombo (gpi, "sourceSet");
    for (int i = 0; i < sets.getNumItems() && control->getSourceSelectorInputMask() != 0x03; ++i)
        choose (sets, sets.getItemId (i));
    ASSERT_EQ (control->getSourceSelectorInputMask(), 0x03);
    EXPECT_TRUE (matrix->isControlledByGpi());
    chooseTab (SetupArea::matrixPage);
    EXPECT_TRUE (matrix->isControlledByGpi());
    EXPECT_FALSE (matrix->getLevelSlider().isVisible());

    // No source selector left: the matrix is the user's again.
    choose (findCombo (gpi, "function"), GPIComponent::noFunction + 1);
    EXPECT_FALSE (matrix->isControlledByGpi());
    EXPECT_FALSE (matrix->getPoint (0).marked);
    EXPECT_FALSE (user.anyUnexpected());
}
