#include <gtest/gtest.h>

#include "document/PresetLibrary.h"
#include "look/ColourScheme.h"
#include "shell/DiagramView.h"
#include "tests/shell/DiagramTestSupport.h"
#include "tests/look/LookPaintHelpers.h"
#include "testing/user/ScriptedUserInteraction.h"

#include <deque>

namespace
{
struct RecordingListener : public DiagramView::Listener
{
    void diagramSelectionChanged (DiagramView& view) override
    {
        selections.push_back (view.getSelectedIndex());
    }

    std::vector<int> selections;
};

class DiagramViewTest : public ::testing::Test
{
protected:
    DiagramViewTest() { applyColourScheme (scheme); }

    // A view of the application, with the Add menu answered from menuAnswers.
    std::unique_ptr<DiagramView> makeView (juce::uint8 flags = 0xff)
    {
        auto view = std::make_unique<DiagramView> (*application, presets, flags, descriptionShown, user,
                                                   [this] (juce::Component&)
                                                   {
                                                       ++menusShown;
                                                       if (menuAnswers.empty())
                                                           return 0;
                                                       const auto answer = menuAnswers.front();
                                                       menuAnswers.pop_front();
                                                       return answer;
                                                   });
        view->setLookAndFeel (&scheme);
        view->addListener (&listener);
        return view;
    }

    void open (const juce::String& devices)
    {
        application = diagramtest::parse ("<Application><Title>Hall</Title>" + devices + "</Application>");
    }

    // The Device element at this position among the Device children.
    juce::XmlElement* deviceAt (int index) const
    {
        for (auto* device : application->getChildWithTagNameIterator ("Device"))
            if (index-- == 0)
                return device;
        return nullptr;
    }

    juce::StringArray deviceNames() const
    {
        juce::StringArray names;
        for (auto* device : application->getChildWithTagNameIterator ("Device"))
            names.add (device->getStringAttribute ("name"));
        return names;
    }

    static juce::StringArray numbersShown (const DiagramView& view)
    {
        juce::StringArray numbers;
        for (int i = 0; i < view.getNumDevices(); ++i)
            numbers.add (diagramtest::findLabel (*view.getDevice (i), "device number")->getText());
        return numbers;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V3 scheme;
    PresetLibrary presets{ diagramtest::templateTable };
    ScriptedUserInteraction user;
    RecordingListener listener;
    bool descriptionShown = false;
    std::deque<int> menuAnswers;
    int menusShown = 0;
    std::unique_ptr<juce::XmlElement> application;
};

const juce::KeyPress ctrl (int key)
{
    return juce::KeyPress (key, juce::ModifierKeys::ctrlModifier, 0);
}
} // namespace

TEST_F (DiagramViewTest, ShowsOneNumberedBoxPerKnownDevice)
{
    open ("<Device name=\"A\"/>"
          "<Device name=\"B\" model=\"ZELTA 70\"><CORVADINE Name=\"own\"/></Device>"
          "<Device name=\"C\" model=\"Zelta 70\"/>"
          "<Device name=\"D\" model=\"ZELTA\"/>");
    auto view = makeView();

    // The unknown family gets no box and uses no number.
    ASSERT_EQ (view->getNumDevices(), 3);
    EXPECT_EQ (numbersShown (*view), juce::StringArray ("1", "2", "3"));
    EXPECT_EQ (view->getDevice (0)->getDeviceFamily().name, "ZELTA M");
    EXPECT_EQ (view->getDevice (1)->getDeviceFamily().name, "ZELTA 70");
    EXPECT_EQ (&view->getDevice (2)->getDeviceElement(), deviceAt (3));

    // A device without a model is taken as "ZELTA M" and says so from now on, so a save stores it.
    auto* a = deviceAt (0);
    EXPECT_EQ (a->getStringAttribute ("model"), "ZELTA M");

    // Missing settings come from the family's template; present ones are kept.
    ASSERT_NE (a->getChildByName ("CORVADINE"), nullptr);
    EXPECT_EQ (a->getChildByName ("CORVADINE")->getStringAttribute ("Name"), "T-ZELTA M");
    EXPECT_EQ (deviceAt (1)->getChildByName ("CORVADINE")->getStringAttribute ("Name"), "own");
    EXPECT_EQ (deviceAt (3)->getChildByName ("CORVADINE")->getStringAttribute ("Name"), "T-ZELTA");

    // The unknown one stays in the document unchanged.
    auto* unknown = deviceAt (2);
    EXPECT_EQ (unknown->getStringAttribute ("model"), "Zelta 70");
    EXPECT_EQ (unknown->getNumChildElements(), 0);

    // 210 pixels a box, 40 for the tool buttons under the column.
    EXPECT_EQ (view->getWidth(), 400);
    EXPECT_EQ (view->getHeight(), 3 * 210 + 40);
    EXPECT_EQ (view->getDevice (2)->getY(), 420);
    EXPECT_EQ (view->getAddButton().getBounds(), juce::Rectangle<int> (10, 640, 20, 20));
    EXPECT_EQ (view->getDeleteButton().getBounds(), juce::Rectangle<int> (40, 640, 20, 20));
    EXPECT_EQ (view->getInfoButton().getBounds(), juce::Rectangle<int> (370, 10, 20, 20));

    // Reading the document marks nothing as changed.
    EXPECT_FALSE (view->hasChanges());
}

TEST_F (DiagramViewTest, WithoutToolButtonsTheColumnEndsAtTheLastBox)
{
    open ("<Device model=\"ZELTA\"/><Device model=\"ZELTA\"/>");
    auto view = makeView (DiagramView::editableLabelsFlag);

    EXPECT_EQ (view->getHeight(), 420);
    EXPECT_FALSE (view->getAddButton().isVisible());
    EXPECT_FALSE (view->getDeleteButton().isVisible());

    // Labels are editable only with the first flag.
    EXPECT_TRUE (diagramtest::findLabel (*view->getDevice (0), "inLabel0")->isEditableOnSingleClick());
    auto readOnly = makeView (DiagramView::addDeleteButtonsFlag);
    EXPECT_FALSE (diagramtest::findLabel (*readOnly->getDevice (0), "inLabel0")->isEditableOnSingleClick());
}

TEST_F (DiagramViewTest, SelectionMovesTheShortcutsAndTellsListeners)
{
    open ("<Device model=\"ZELTA\"/><Device model=\"ZELTA M\"/><Device model=\"ZELTA 70\"/>");
    auto view = makeView();
    const auto ctrlG = juce::KeyPress::createFromDescription ("CTRL + G");
    const auto ctrlL = juce::KeyPress::createFromDescription ("CTRL + L");
    EXPECT_EQ (ctrlG, ctrl ('G'));

    // After construction box 0 looks selected, but nothing is selected and nobody was told.
    EXPECT_TRUE (view->getDevice (0)->isSelected());
    EXPECT_EQ (view->getSelectedIndex(), -1);
    EXPECT_TRUE (listener.selections.empty());

    view->selectDevice (0, false);
    EXPECT_EQ (view->getSelectedDeviceXml(), deviceAt (0));
    view->selectDevice (2, false);

    auto& first = *view->getDevice (0);
    auto& last = *view->getDevice (2);
    EXPECT_TRUE (last.isSelected());
    EXPECT_FALSE (first.isSelected());
    EXPECT_TRUE (last.getSettingsButton().isRegisteredForShortcut (ctrlG));
    EXPECT_TRUE (last.getPasswordButton().isRegisteredForShortcut (ctrlL));
    EXPECT_TRUE (last.getSettingsButton().isEnabled());
    EXPECT_FALSE (first.getSettingsButton().isRegisteredForShortcut (ctrlG));
    EXPECT_FALSE (first.getPasswordButton().isRegisteredForShortcut (ctrlL));
    EXPECT_FALSE (first.getSettingsButton().isEnabled());
    // A box that was never selected keeps its button as it was.
    EXPECT_TRUE (view->getDevice (1)->getSettingsButton().isEnabled());

    // The same index again tells nobody, unless forced.
    view->selectDevice (2, false);
    view->selectDevice (2, true);
    EXPECT_EQ (listener.selections, std::vector<int> ({ 0, 2, 2 }));

    // Outside the boxes: none selected, and the last box gives up its shortcuts.
    view->selectDevice (5, false);
    EXPECT_EQ (view->getSelectedDevice(), nullptr);
    EXPECT_EQ (view->getSelectedDeviceXml(), nullptr);
    EXPECT_FALSE (last.getSettingsButton().isRegisteredForShortcut (ctrlG));
    EXPECT_EQ (listener.selections.back(), 5);

    // A listener added twice, or a null one, changes nothing.
    view->addListener (&listener);
    view->addListener (nullptr);
    view->selectDevice (1, false);
    EXPECT_EQ (listener.selections.size(), 5u);

    EXPECT_TRUE (view->getAddButton().isRegisteredForShortcut (ctrl ('N')));
    EXPECT_TRUE (view->getDeleteButton().isRegisteredForShortcut (ctrl ('D')));
}

TEST_F (DiagramViewTest, AddAppendsTheChosenFamilysTemplate)
{
    open ("<Device name=\"Old\" model=\"ZELTA\"/>");
    auto view = makeView();
    view->selectDevice (0, false);
    EXPECT_FALSE (view->hasChanges());

    for (int choice = 1; choice <= 3; ++choice)
    {
        menuAnswers.push_back (choice);
        view->buttonClicked (&view->getAddButton());

        SCOPED_TRACE (choice);
        const auto family = DeviceFamily::fromId (choice - 1);
        ASSERT_EQ (view->getNumDevices(), choice + 1);
        auto& box = *view->getDevice (choice);
        EXPECT_EQ (box.getDeviceFamily().name, family.name);
        EXPECT_EQ (box.getDeviceNumber(), choice + 1);
        EXPECT_EQ (&box.getDeviceElement(), deviceAt (choice));
        EXPECT_TRUE (box.getDeviceElement().isEquivalentTo (presets.getElement (choice - 1), false));
        EXPECT_EQ (view->getSelectedIndex(), choice);
        EXPECT_EQ (listener.selections.back(), choice);
        EXPECT_EQ (view->getHeight(), (choice + 1) * 210 + 40);
    }

    // A copy: the template itself is untouched by edits of the new device.
    view->getDevice (1)->getDeviceElement().setAttribute ("name", "Edited");
    EXPECT_EQ (presets.getElement (0)->getStringAttribute ("name"), "ZELTA");

    // Adding counts as a change once.
    EXPECT_TRUE (view->hasChanges());
    EXPECT_FALSE (view->hasChanges());

    // A dismissed menu, or a result the menu does not have, adds nothing.
    menuAnswers = { 0, 4 };
    view->buttonClicked (&view->getAddButton());
    view->buttonClicked (&view->getAddButton());
    EXPECT_EQ (menusShown, 5);
    EXPECT_EQ (view->getNumDevices(), 4);
    EXPECT_EQ (application->getNumChildElements(), 5); // the title and four devices
    EXPECT_FALSE (view->hasChanges());
}

TEST_F (DiagramViewTest, DeleteNeedsTwoBoxesASelectionAndAYes)
{
    open ("<Device name=\"Only\" model=\"ZELTA\"/>");
    auto view = makeView();
    view->selectDevice (0, false);

    view->buttonClicked (&view->getDeleteButton());
    EXPECT_EQ (view->getNumDevices(), 1);
    EXPECT_TRUE (user.calls.empty()); // not even asked

    open ("<Device name=\"A\" model=\"ZELTA\"/><Device name=\"B\" model=\"ZELTA\"/>");
    view = makeView();
    view->selectDevice (9, false); // nothing selected
    view->buttonClicked (&view->getDeleteButton());
    EXPECT_TRUE (user.calls.empty());

    view->selectDevice (1, false);
    user.okCancelAnswers = { false };
    view->buttonClicked (&view->getDeleteButton());
    ASSERT_EQ (user.calls.size(), 1u);
    EXPECT_EQ (user.calls[0].kind, "okCancel");
    EXPECT_EQ (user.calls[0].icon, UserInteraction::Icon::question);
    EXPECT_EQ (user.calls[0].title, "Delete");
    EXPECT_EQ (user.calls[0].text, "Do you want to delete the selected device?");
    EXPECT_EQ (view->getNumDevices(), 2);
    EXPECT_EQ (deviceNames(), juce::StringArray ("A", "B"));
    EXPECT_FALSE (view->hasChanges());

    // Two boxes leave one, and a second Delete does nothing.
    user.okCancelAnswers = { true, true };
    view->buttonClicked (&view->getDeleteButton());
    view->buttonClicked (&view->getDeleteButton());
    EXPECT_EQ (view->getNumDevices(), 1);
    EXPECT_EQ (deviceNames(), juce::StringArray ("A"));
    EXPECT_EQ (user.countCalls ("okCancel"), 2);
    EXPECT_TRUE (view->hasChanges());
}

TEST_F (DiagramViewTest, DeletingRenumbersAndSelectsTheBoxBefore)
{
    open ("<Device name=\"A\" model=\"ZELTA\"/><Device name=\"B\" model=\"ZELTA\"/>"
          "<Device name=\"C\" model=\"ZELTA\"/><Device name=\"D\" model=\"ZELTA\"/>");
    auto view = makeView();
    user.okCancelAnswers = { true, true };

    view->selectDevice (2, false);
    view->buttonClicked (&view->getDeleteButton());

    EXPECT_EQ (deviceNames(), juce::StringArray ("A", "B", "D"));
    EXPECT_EQ (numbersShown (*view), juce::StringArray ("1", "2", "3"));
    EXPECT_EQ (view->getSelectedIndex(), 1);
    EXPECT_EQ (view->getSelectedDeviceXml()->getStringAttribute ("name"), "B");
    EXPECT_EQ (view->getDevice (2)->getY(), 420);
    EXPECT_EQ (view->getHeight(), 3 * 210 + 40);
    EXPECT_EQ (view->getDeleteButton().getY(), 640);

    // Deleting the first selects the new first, told even though the index stays 0.
    view->selectDevice (0, false);
    const auto toldBefore = listener.selections.size();
    view->buttonClicked (&view->getDeleteButton());
    EXPECT_EQ (deviceNames(), juce::StringArray ("B", "D"));
    EXPECT_EQ (listener.selections.size(), toldBefore + 1);
    EXPECT_EQ (view->getSelectedIndex(), 0);
    EXPECT_EQ (view->getSelectedDeviceXml()->getStringAttribute ("name"), "B");
    EXPECT_TRUE (view->getDevice (0)->getSettingsButton().isRegisteredForShortcut (ctrl ('G')));
}

TEST_F (DiagramViewTest, ListenersRebuildBeforeTheDeletedElementGoes)
{
    // What the owner's pages do on a selection: let go of the old element, look at the new.
    struct PageOwner : public DiagramView::Listener
    {
        void diagramSelectionChanged (DiagramView& view) override
        {
            if (pageElement != nullptr)
                oldNameWhenRebuilt = pageElement->getStringAttribute ("name");
            pageElement = view.getSelectedDeviceXml();
            devicesInDocument = application->getNumChildElements() - 1; // less the title
        }

        juce::XmlElement* application = nullptr;
        juce::XmlElement* pageElement = nullptr;
        juce::String oldNameWhenRebuilt;
        int devicesInDocument = 0;
    } pages;

    open ("<Device name=\"A\" model=\"ZELTA\"/><Device name=\"B\" model=\"ZELTA\"/>");
    auto view = makeView();
    pages.application = application.get();
    view->addListener (&pages);
    view->selectDevice (1, false);

    user.okCancelAnswers = { true };
    view->buttonClicked (&view->getDeleteButton());

    EXPECT_EQ (pages.oldNameWhenRebuilt, "B");
    EXPECT_EQ (pages.devicesInDocument, 1);
    EXPECT_EQ (pages.pageElement->getStringAttribute ("name"), "A");
}

TEST_F (DiagramViewTest, LabelEditsCountAsChangesUntilTheNextDiagram)
{
    open ("<Device model=\"ZELTA\"/>");
    auto view = makeView();

    diagramtest::findLabel (*view->getDevice (0), "inLabel0")->setText ("Mic", juce::sendNotificationSync);
    EXPECT_TRUE (view->hasChanges());
    EXPECT_TRUE (view->hasChanges()); // the box keeps its flag

    view = makeView();
    EXPECT_FALSE (view->hasChanges());
}

TEST_F (DiagramViewTest, DescriptionPanelKeepsItsStateAcrossDiagrams)
{
    open ("<Device model=\"ZELTA\"/>");
    auto view = makeView();
    EXPECT_FALSE (view->getDescriptionView().isVisible());
    EXPECT_FALSE (view->getInfoButton().getToggleState());

    lookpaint::click (view->getInfoButton());
    EXPECT_TRUE (descriptionShown);
    EXPECT_TRUE (view->getDescriptionView().isVisible());
    EXPECT_EQ (view->getDescriptionView().getPosition(), juce::Point<int> (10, 10));
    EXPECT_EQ (view->getDescriptionView().getWidth(), 380);

    open ("<Device model=\"ZELTA M\"/>");
    view = makeView();
    EXPECT_TRUE (view->getDescriptionView().isVisible());
    EXPECT_TRUE (view->getInfoButton().getToggleState());

    lookpaint::click (view->getInfoButton());
    EXPECT_FALSE (descriptionShown);
    EXPECT_FALSE (view->getDescriptionView().isVisible());
}

TEST_F (DiagramViewTest, ALongDescriptionMakesTheDiagramTaller)
{
    const auto lines = juce::String::repeatedString ("A line of the description.\n", 30);
    open ("<Description>" + lines + "</Description><Device model=\"ZELTA\"/>");
    auto view = makeView();

    const auto panelBottom = view->getDescriptionView().getBottom();
    ASSERT_GT (panelBottom + 5, 250);
    EXPECT_EQ (view->getHeight(), panelBottom + 5);
    // The tool buttons stay under the column, not under the panel.
    EXPECT_EQ (view->getAddButton().getY(), 220);
}

TEST_F (DiagramViewTest, OnlyTheDeleteKeyIsTaken)
{
    open ("<Device name=\"A\" model=\"ZELTA\"/><Device name=\"B\" model=\"ZELTA\"/>");
    auto view = makeView();
    view->selectDevice (1, false);

    // Shortcuts of the window must travel on to it.
    EXPECT_FALSE (view->keyPressed (ctrl ('S')));
    EXPECT_FALSE (view->keyPressed (ctrl ('P')));
    EXPECT_FALSE (view->keyPressed (juce::KeyPress ('a')));
    EXPECT_FALSE (view->keyPressed (juce::KeyPress (
        juce::KeyPress::F7Key, juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier, 0)));
    EXPECT_TRUE (user.calls.empty());

    user.okCancelAnswers = { true };
    EXPECT_TRUE (view->keyPressed (juce::KeyPress (juce::KeyPress::deleteKey)));
    EXPECT_EQ (deviceNames(), juce::StringArray ("A"));

    // With one box left the key is still the diagram's, and deletes nothing.
    EXPECT_TRUE (view->keyPressed (juce::KeyPress (juce::KeyPress::deleteKey)));
    EXPECT_EQ (view->getNumDevices(), 1);
}

TEST_F (DiagramViewTest, AClickSelectsTheBoxUnderIt)
{
    open ("<Device model=\"ZELTA\"/><Device model=\"ZELTA\"/><Device model=\"ZELTA\"/>");
    auto view = makeView();
    view->selectDevice (0, false);

    const auto clickAt = [&view] (juce::Point<float> where)
    {
        const auto now = juce::Time::getCurrentTime();
        const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), where,
                                      juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                      view.get(), view.get(), now, where, now, 1, false);
        view->mouseUp (event);
    };

    clickAt ({ 200.0f, 500.0f });
    EXPECT_EQ (view->getSelectedIndex(), 2);

    // Empty space under the boxes changes nothing.
    const auto told = listener.selections.size();
    clickAt ({ 300.0f, 650.0f });
    EXPECT_EQ (view->getSelectedIndex(), 2);
    EXPECT_EQ (listener.selections.size(), told);
    EXPECT_TRUE (view->getDevice (2)->isSelected());
}

TEST_F (DiagramViewTest, AReplacedElementIsSelectedAgain)
{
    open ("<Device model=\"ZELTA\"/><Device model=\"ZELTA\"/>");
    auto view = makeView();
    view->selectDevice (1, false);

    view->getDevice (1)->sendSynchronousChangeMessage();
    EXPECT_EQ (listener.selections, std::vector<int> ({ 1, 1 }));
}
