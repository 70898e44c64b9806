#include "tests/shell/MainContentTestSupport.h"

#include "editors/MatrixComponent.h"
#include "tests/shell/LookPaintHelpers.h"

using namespace maintest;

namespace
{
class SetupAreaTest : public MainContentTest
{
protected:
    SetupArea& area() { return content->getSetupArea(); }

    void chooseTab (int tab)
    {
        auto& bar = area().getTabSelector();
        const auto where = bar.getTabArea (tab).getCentre();
        const auto now = juce::Time::getCurrentTime();
        const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), where,
                                      juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                      &bar, &bar, now, where, now, 1, false);
        bar.mouseUp (event);
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

            const auto expected = asOpened (nthDevice (stored, i));
            EXPECT_TRUE (device->isEquivalentTo (&expected, true));
            content->updateModifiedFlag();
            EXPECT_FALSE (content->isModified());
            EXPECT_FALSE (content->hasPendingPageChanges());
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
        juce::XmlElement expected (*library->getElement (family));
        expected.setAttribute ("name", device->getStringAttribute ("name"));
        EXPECT_TRUE (device->isEquivalentTo (&expected, true));
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
    auto* matrix = dynamic_cast<MatrixComponent*> (area().getCurrentPage());
    ASSERT_NE (matrix, nullptr);
    EXPECT_EQ (matrix->getElement(), diagram->getSelectedDeviceXml());
    const auto point = matrix->getPointArea (1).getCentre();
    const auto now = juce::Time::getCurrentTime();
    matrix->mouseUp (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), point,
                                       juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                       matrix, matrix, now, point, now, 1, false));
    EXPECT_TRUE (content->hasPendingPageChanges());
    EXPECT_FALSE (content->hasPendingPageChanges());
    content->updateModifiedFlag();
    EXPECT_TRUE (content->isModified());

    // Rebuilding for another device keeps the tab.
    chooseTab (SetupArea::inputsPage);
    diagram->selectDevice (0, false);
    EXPECT_EQ (area().getCurrentPageIndex(), SetupArea::inputsPage);
    expectOnlyCurrentPageShown();
}
