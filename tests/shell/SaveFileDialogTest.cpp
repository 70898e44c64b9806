#include "document/SavedFileFormat.h"
#include "document/ApplicationsFolder.h"
#include "shell/SaveFileDialog.h"
#include "tests/shell/ImmutableFile.h"
#include "testing/user/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace
{
const char* const applicationText =
    "<Application><Title>Old title</Title><Author>Ann</Author>"
    "<Description>Two\nlines &amp; more</Description><SvnRevision>600</SvnRevision>"
    "<Device name=\"Hall\" model=\"ZELTA M\"><Input id=\"1\" label=\"Mic\"/>"
    "<CORVADINE Name=\"x\"><EFFECT Id=\"3\"/></CORVADINE></Device></Application>";

template <typename ComponentType> ComponentType* child (juce::Component& parent, const juce::String& name)
{
    for (auto* c : parent.getChildren())
        if (auto* typed = dynamic_cast<ComponentType*> (c); typed != nullptr && c->getName() == name)
            return typed;

    return nullptr;
}

class SaveFileDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        documents = juce::File::getSpecialLocation (juce::File::tempDirectory)
                        .getNonexistentChildFile ("vantorel-save-test", "");
        ASSERT_TRUE (documents.createDirectory());
        folder = getApplicationsFolder (documents);
        application = juce::parseXML (applicationText);
        dialog = std::make_unique<SaveFileDialog> (*application, 927, user, folder);
        window.setContentNonOwned (dialog.get(), true);
        window.enterModalState (false, juce::ModalCallbackFunction::create ([this] (int r) { result = r; }),
                                false);

        titleEdit = child<juce::Label> (*dialog, "TitleEdit");
        authorEdit = child<juce::Label> (*dialog, "AuthorEdit");
        descriptionEdit = child<juce::TextEditor> (*dialog, "DescEdit");
        ASSERT_TRUE (titleEdit && authorEdit && descriptionEdit);
        ASSERT_TRUE (child<juce::Button> (*dialog, "Save") && child<juce::Button> (*dialog, "Cancel"));
    }

    void TearDown() override
    {
        window.clearContentComponent();
        documents.deleteRecursively();
    }

    void press (const juce::String& button)
    {
        dialog->buttonClicked (child<juce::Button> (*dialog, button));
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20); // delivers the window's result
    }

    juce::StringArray namesInFolder() const
    {
        juce::StringArray names;
        for (auto& f : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
            names.add (f.getFileName());
        return names;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::File documents, folder;
    std::unique_ptr<juce::XmlElement> application;
    ScriptedUserInteraction user;
    std::unique_ptr<SaveFileDialog> dialog;
    juce::DialogWindow window{ "Save File", juce::Colours::lightgrey, true, false };
    int result = -1;
    juce::Label *titleEdit = nullptr, *authorEdit = nullptr;
    juce::TextEditor* descriptionEdit = nullptr;
};
} // namespace

TEST (ApplicationsFolder, IsMadeInsideTheGivenDocumentsFolderAndNamesStayInside)
{
    auto documents = juce::File::getSpecialLocation (juce::File::tempDirectory)
                         .getNonexistentChildFile ("vantorel-folder-test", "");
    auto folder = getApplicationsFolder (documents);
    EXPECT_EQ (folder, documents.getChildFile ("ZELTA Applications"));
    EXPECT_TRUE (folder.isDirectory());
    documents.deleteRecursively();

    EXPECT_EQ (proposeFileForTitle (folder, "Hall 2.1", "sapl"), folder.getChildFile ("Hall 2.1.sapl"));
    EXPECT_EQ (proposeFileForTitle (folder, "../../etc/passwd", "sapl"),
               folder.getChildFile ("etcpasswd.sapl"));
    EXPECT_EQ (proposeFileForTitle (folder, "a/b\\c:d*e?\"<f>|", "sapl"),
               folder.getChildFile ("abcdef.sapl"));
    // Hidden files would not be listed.
    EXPECT_EQ (proposeFileForTitle (folder, " .hidden", "spre"), folder.getChildFile ("hidden.spre"));
    EXPECT_EQ (proposeFileForTitle (folder, "two\nlines.", "sapl"), folder.getChildFile ("twolines.sapl"));

    // Nothing usable left: the chooser starts in the folder without a name.
    for (auto title : { "", "..", "/", ". . .", "/../.." })
        EXPECT_EQ (proposeFileForTitle (folder, title, "sapl"), folder) << title;

    auto longFile = proposeFileForTitle (folder, juce::String::repeatedString ("x", 300), "sapl");
    EXPECT_EQ (longFile.getParentDirectory(), folder);
    EXPECT_TRUE (longFile.getFileName().endsWith (".sapl") && longFile.getFileName().length() <= 128);
}

TEST_F (SaveFileDialogTest, FieldsStartFromTheDocumentOrTheirPrompts)
{
    EXPECT_EQ (titleEdit->getText(), "Old title");
    EXPECT_EQ (authorEdit->getText(), "Ann");
    EXPECT_EQ (descriptionEdit->getText(), "Two\nlines & more");

    juce::XmlElement bare ("Application");
    SaveFileDialog empty (bare, 927, user, folder);
    auto* emptyTitle = child<juce::Label> (empty, "TitleEdit");
    auto* emptyAuthor = child<juce::Label> (empty, "AuthorEdit");
    auto* emptyDescription = child<juce::TextEditor> (empty, "DescEdit");
    auto* save = child<juce::Button> (empty, "Save");
    ASSERT_TRUE (emptyTitle && emptyAuthor && emptyDescription && save);
    EXPECT_EQ (emptyTitle->getText(), "Specify title here");
    EXPECT_EQ (emptyAuthor->getText(), "Specify author here");
    EXPECT_EQ (emptyDescription->getText(), "");

    // Laid out for 400 x 400; Return outside the description clicks Save.
    EXPECT_EQ (emptyDescription->getBounds(), juce::Rectangle<int> (15, 145, 370, 180));
    EXPECT_EQ (save->getBounds(), juce::Rectangle<int> (265, 355, 120, 30));
    EXPECT_TRUE (save->isRegisteredForShortcut (juce::KeyPress (juce::KeyPress::returnKey)));
}

TEST_F (SaveFileDialogTest, SavesScrambledAndReadsBackTheSameDocument)
{
    titleEdit->setText ("../New title", juce::dontSendNotification);
    authorEdit->setText ("Bob <b>", juce::dontSendNotification);
    descriptionEdit->setText ("First line\nsecond & \"third\"");
    user.fileAnswers.push_back (folder.getChildFile ("Saved show")); // typed without extension
    press ("Save");

    ASSERT_EQ (dialog->getLastOutcome(), SaveFileDialog::Outcome::saved);
    EXPECT_EQ (result, 1);
    EXPECT_FALSE (user.anyUnexpected());
    ASSERT_EQ (user.countCalls ("save"), 1);
    ASSERT_EQ (user.calls.size(), 2u);
    EXPECT_EQ (user.calls[1].title, "Save file as...");
    EXPECT_EQ (user.calls[1].start, folder.getChildFile ("New title.sapl")); // the title, made safe
    EXPECT_EQ (user.calls[1].pattern, "*.sapl");

    const auto saved = folder.getChildFile ("Saved show.sapl");
    EXPECT_EQ (dialog->getSavedFile(), saved);
    EXPECT_EQ (namesInFolder(), juce::StringArray ("Saved show.sapl")); // no temporary file left

    juce::MemoryBlock bytes;
    ASSERT_TRUE (saved.loadFileAsData (bytes));
    EXPECT_TRUE (hasScrambledFileHeader (bytes));
    auto reread = readSavedFile (saved);
    ASSERT_EQ (reread.result, SavedFileResult::ok);
    EXPECT_TRUE (reread.document->isEquivalentTo (application.get(), false));
    EXPECT_EQ (reread.document->getChildByName ("Title")->getAllSubText(), "../New title");
    EXPECT_EQ (reread.document->getChildByName ("Author")->getAllSubText(), "Bob <b>");
    EXPECT_EQ (reread.document->getChildByName ("Description")->getAllSubText(),
               "First line\nsecond & \"third\"");
    EXPECT_EQ (reread.document->getChildByName ("SvnRevision")->getAllSubText(), "927");
}

TEST_F (SaveFileDialogTest, F8HeldAtTheSavePressWritesPlainXml)
{
    user.keysDown.insert (juce::KeyPress::F8Key);
    user.onChooserOpened = [this] { user.keysDown.clear(); }; // let go while choosing the name
    user.fileAnswers.push_back (folder.getChildFile ("plain.sapl"));
    press ("Save");

    ASSERT_EQ (dialog->getLastOutcome(), SaveFileDialog::Outcome::saved);
    const auto text = folder.getChildFile ("plain.sapl").loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << text.substring (0, 40);
    auto reread = readSavedFile (folder.getChildFile ("plain.sapl"));
    ASSERT_EQ (reread.result, SavedFileResult::ok);
    EXPECT_TRUE (reread.document->isEquivalentTo (application.get(), false));
}

TEST_F (SaveFileDialogTest, CancelledChooserChangesNothingAndCancelClosesWithZero)
{
    const auto before = application->toString();
    titleEdit->setText ("Edited", juce::dontSendNotification);
    user.fileAnswers.push_back (std::nullopt);
    press ("Save");

    EXPECT_EQ (dialog->getLastOutcome(), SaveFileDialog::Outcome::noFileChosen);
    EXPECT_EQ (application->toString(), before);
    EXPECT_EQ (titleEdit->getText(), "Edited");
    EXPECT_TRUE (namesInFolder().isEmpty());
    EXPECT_TRUE (window.isCurrentlyModal());

    press ("Cancel");
    EXPECT_EQ (result, 0);
    EXPECT_FALSE (window.isCurrentlyModal());
    EXPECT_EQ (application->toString(), before);
}

TEST_F (SaveFileDialogTest, FailedReplaceIsReportedAndKeepsTheOldFile)
{
    const auto target = folder.getChildFile ("locked.sapl");
    ASSERT_TRUE (target.replaceWithText ("the last good copy"));

    if (!setImmutable (target, true))
        GTEST_SKIP() << "this file system cannot lock a file against root";

    user.fileAnswers.push_back (target);
    press ("Save");
    setImmutable (target, false);

    EXPECT_EQ (dialog->getLastOutcome(), SaveFileDialog::Outcome::replaceFailed);
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::warning);
    EXPECT_TRUE (user.calls.back().text.contains (target.getFullPathName()));
    EXPECT_EQ (target.loadFileAsString(), "the last good copy");
    EXPECT_EQ (namesInFolder(), juce::StringArray ("locked.sapl"));
    EXPECT_TRUE (window.isCurrentlyModal());
}

TEST_F (SaveFileDialogTest, UnwritablePlaceIsReportedAndAnotherNameCanBeTried)
{
    const auto nowhere = documents.getChildFile ("missing folder").getChildFile ("x.sapl");
    user.fileAnswers.push_back (nowhere);
    press ("Save");

    EXPECT_EQ (dialog->getLastOutcome(), SaveFileDialog::Outcome::cannotOpenTemporary);
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::warning);
    EXPECT_TRUE (user.calls.back().text.contains (nowhere.getFullPathName()));
    EXPECT_FALSE (nowhere.getParentDirectory().exists());
    EXPECT_TRUE (window.isCurrentlyModal());

    user.fileAnswers.push_back (folder.getChildFile ("second try.sapl"));
    press ("Save");
    EXPECT_EQ (dialog->getLastOutcome(), SaveFileDialog::Outcome::saved);
    EXPECT_EQ (result, 1);
}
