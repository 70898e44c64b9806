#include "tests/shell/MainContentTestSupport.h"

#include "document/SettingsDocument.h"

#include <map>

using namespace maintest;

namespace
{
class ApplicationFilesTest : public MainContentTest
{
protected:
    int countMessagesTitled (const juce::String& title) const
    {
        return (int)std::count_if (user.calls.begin(), user.calls.end(),
                                   [&] (const ScriptedUserInteraction::Call& c)
                                   { return c.kind == "message" && c.title == title; });
    }

    // Every file of the applications folder with its bytes (held as strings: comparing two
    // empty juce::MemoryBlocks hands null pointers to memcmp).
    std::map<juce::String, std::string> folderSnapshot() const
    {
        std::map<juce::String, std::string> snapshot;

        for (const auto& entry :
             juce::RangedDirectoryIterator (folder, false, "*", juce::File::findFilesAndDirectories))
        {
            const auto bytes = contentsOf (entry.getFile());
            snapshot[entry.getFile().getFileName()] =
                bytes.isEmpty() ? std::string()
                                : std::string (static_cast<const char*> (bytes.getData()), bytes.getSize());
        }

        return snapshot;
    }

    void select (int row)
    {
        ASSERT_GE (row, 0);
        content->getListBox().selectRow (row);
    }
};
} // namespace

TEST (ApplicationListEntry, TakesRevisionsFrom415AndConvertsUpTo529)
{
    juce::ScopedJuceInitialiser_GUI gui;
    auto folder =
        juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("entry", "");
    folder.createDirectory();

    struct Case
    {
        int revision;
        ApplicationListEntry::ReadResult result;
    };

    for (auto c : { Case{ 0, ApplicationListEntry::ReadResult::tooOld },
                    Case{ 414, ApplicationListEntry::ReadResult::tooOld },
                    Case{ 415, ApplicationListEntry::ReadResult::converted },
                    Case{ 529, ApplicationListEntry::ReadResult::converted },
                    Case{ 530, ApplicationListEntry::ReadResult::taken },
                    Case{ 927, ApplicationListEntry::ReadResult::taken },
                    Case{ 928, ApplicationListEntry::ReadResult::newer } })
    {
        const auto bytes = scrambled (applicationText ("R", c.revision));
        auto file = writeFile (folder.getChildFile ("r.sapl"), bytes);
        ApplicationListEntry entry (file);
        EXPECT_EQ (entry.readFile(), c.result) << c.revision;
        EXPECT_EQ (contentsOf (file), bytes) << "reading never changes the file";

        const bool taken = c.result == ApplicationListEntry::ReadResult::converted ||
                           c.result == ApplicationListEntry::ReadResult::taken;
        EXPECT_EQ (entry.getApplication() != nullptr, taken) << c.revision;
        EXPECT_EQ (entry.isConverted(), c.result == ApplicationListEntry::ReadResult::converted)
            << c.revision;
        EXPECT_EQ (entry.isNewer(), c.result == ApplicationListEntry::ReadResult::newer) << c.revision;
        EXPECT_EQ (entry.getReadTime(), file.getLastModificationTime());
    }

    // A read that gives nothing keeps what the entry had.
    auto file = writeFile (folder.getChildFile ("k.sapl"), scrambled (applicationText ("Kept", 900)));
    ApplicationListEntry entry (file);
    ASSERT_NE (entry.getApplication(), nullptr);
    file.replaceWithText ("<Application><Title>cut");
    EXPECT_EQ (entry.readFile(), ApplicationListEntry::ReadResult::unreadable);
    EXPECT_EQ (entry.getTitle(), "Kept");

    ApplicationListEntry example (juce::parseXML ("<Application><Title>Ex</Title></Application>"));
    EXPECT_TRUE (example.isExample());
    EXPECT_EQ (example.readFile(), ApplicationListEntry::ReadResult::noFile);
    EXPECT_EQ (example.getTitle(), "Ex");
    EXPECT_EQ (example.getAuthor(), "N/A");

    folder.deleteRecursively();
}

TEST_F (ApplicationFilesTest, ListsFilesFirstThenTheExamplesAndOpensEachOfThem)
{
    const auto hall = addFile ("Hall.sapl", "Hall", 900);
    const auto plain = addFile ("Plain.sapl", "Plain", 927, false);
    folder.getChildFile ("Notes.txt").replaceWithText ("not an application");
    folder.getChildFile ("Sub").createDirectory();
    writeFile (folder.getChildFile ("Sub/Deep.sapl"), scrambled (applicationText ("Deep", 900)));

    make();
    juce::SharedResourcePointer<PresetLibrary> presets;
    const auto* examples = presets->getList (0);
    ASSERT_NE (examples, nullptr);
    ASSERT_EQ (examples->size(), 7);
    ASSERT_EQ (content->getNumEntries(), 2 + 7);

    EXPECT_GE (rowOf (hall), 0);
    EXPECT_GE (rowOf (plain), 0) << "plain XML is listed like a scrambled file";
    EXPECT_LT (rowOf (hall), 2);
    EXPECT_LT (rowOf (plain), 2);
    EXPECT_EQ (rowTitled ("Deep"), -1) << "subfolders are not searched";

    // Row 0 was opened during construction.
    EXPECT_EQ (content->getSelectedRow(), 0);
    expectListAndWorkingCopyAgree();

    for (int i = 0; i < 7; ++i)
    {
        auto* entry = content->getEntry (2 + i);
        EXPECT_TRUE (entry->isExample());
        EXPECT_TRUE (entry->getApplication()->isEquivalentTo (examples->getUnchecked (i), false));

        select (2 + i);
        EXPECT_EQ (content->getSelectedRow(), 2 + i);
        expectListAndWorkingCopyAgree();
        EXPECT_NE (content->getWorkingCopy(), entry->getApplication()) << "a working copy, not the entry";

        auto* diagram = content->getDiagram();
        ASSERT_NE (diagram, nullptr);
        EXPECT_EQ (content->getViewport().getViewedComponent(), diagram);
        int devices = 0;
        for (auto* device : content->getWorkingCopy()->getChildWithTagNameIterator ("Device"))
            devices += device != nullptr ? 1 : 0;
        EXPECT_GT (devices, 0);
        EXPECT_EQ (diagram->getNumDevices(), devices);
        EXPECT_EQ (diagram->getSelectedIndex(), 0);
        EXPECT_FALSE (content->isModified());
    }

    EXPECT_TRUE (user.calls.empty()) << "opening unchanged applications asks nothing";
}

TEST_F (ApplicationFilesTest, SavingAnExampleCreatesAFileThatIsSelectedAndReadsBackTheSame)
{
    make();
    ASSERT_TRUE (content->getEntry (0)->isExample());
    const auto target = folder.getChildFile ("My hall.sapl");
    user.fileAnswers.push_back (target);
    content->titleToType = "My hall";

    // A changed application, so that the save has a flag to clear.
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());
    content->updateModifiedFlag();
    ASSERT_TRUE (content->isModified());

    content->buttonClicked (&content->getSaveButton());

    ASSERT_EQ (content->saveDialogsShown, 1);
    ASSERT_TRUE (target.existsAsFile());
    EXPECT_TRUE (hasScrambledFileHeader (contentsOf (target)));

    // The new file heads the list and is the open application.
    EXPECT_EQ (rowOf (target), 0);
    EXPECT_EQ (content->getSelectedRow(), 0);
    expectListAndWorkingCopyAgree();
    EXPECT_EQ (openTitle(), "My hall");
    EXPECT_FALSE (content->isModified());

    auto saved = readSavedFile (target);
    ASSERT_EQ (saved.result, SavedFileResult::ok);
    EXPECT_TRUE (content->getWorkingCopy()->isEquivalentTo (saved.document.get(), false));
    EXPECT_EQ (getSvnRevision (*saved.document), 927);
    // The example's own texts gave way to the words the dialog starts from.
    EXPECT_EQ (saved.document->getChildByName ("Author")->getAllSubText(), "Author");

    // Opening another application and coming back gives the same document.
    select (3);
    select (0);
    EXPECT_TRUE (content->getWorkingCopy()->isEquivalentTo (saved.document.get(), false));
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (ApplicationFilesTest, F8WritesPlainXmlThatIsListedAndOpensTheSame)
{
    const auto hall = addFile ("Hall.sapl", "Hall", 900);
    make();
    select (rowOf (hall));

    const auto target = folder.getChildFile ("Hall plain.sapl");
    user.fileAnswers.push_back (target);
    user.keysDown.insert (juce::KeyPress::F8Key);
    content->titleToType = "Hall plain";
    content->buttonClicked (&content->getSaveButton());

    ASSERT_TRUE (target.existsAsFile());
    EXPECT_TRUE (target.loadFileAsString().startsWith ("<?xml"));
    EXPECT_FALSE (hasScrambledFileHeader (contentsOf (target)));
    EXPECT_EQ (content->getEntry (content->getSelectedRow())->getFile(), target);
    expectListAndWorkingCopyAgree();

    auto saved = readSavedFile (target);
    ASSERT_NE (saved.document, nullptr);
    select (rowOf (hall));
    EXPECT_EQ (openTitle(), "Hall");
    select (rowOf (target));
    EXPECT_TRUE (content->getWorkingCopy()->isEquivalentTo (saved.document.get(), false));
}

TEST_F (ApplicationFilesTest, AfterASaveTheSavedEntryIsOpenNotTheOneAtTheOldRow)
{
    const auto first = addFile ("First.sapl", "First", 900);
    const auto second = addFile ("Second.sapl", "Second", 900);
    make();

    // Open the file at row 1; a new file then pushes it down.
    select (1);
    const auto openedFile = content->getEntry (1)->getFile();
    const auto target = folder.getChildFile ("Third.sapl");
    user.fileAnswers.push_back (target);
    content->titleToType = "Third";
    content->buttonClicked (&content->getSaveButton());

    ASSERT_EQ (rowOf (target), 0);
    EXPECT_EQ (content->getSelectedRow(), 0);
    EXPECT_EQ (openTitle(), "Third");
    expectListAndWorkingCopyAgree();
    EXPECT_EQ (rowOf (openedFile), 2) << "the older entries moved down one row";

    // Saving over an existing file reads it again and opens it, also when the
    // file's time (one-second resolution) still equals the time of the last read.
    const auto readTime = content->getEntry (rowOf (second))->getReadTime();
    content->afterSave = [readTime] (const juce::File& f) { f.setLastModificationTime (readTime); };
    select (rowOf (first));
    user.fileAnswers.push_back (second);
    content->titleToType = "Second, now first";
    content->buttonClicked (&content->getSaveButton());
    EXPECT_EQ (content->getSelectedRow(), rowOf (second));
    EXPECT_EQ (openTitle(), "Second, now first");
    EXPECT_EQ (content->getEntry (rowOf (second))->getTitle(), "Second, now first");
    expectListAndWorkingCopyAgree();
    EXPECT_EQ (content->getNumEntries(), 3 + 7);
}

TEST_F (ApplicationFilesTest, AChangedApplicationIsOfferedForSavingBeforeAnotherOpens)
{
    const auto first = addFile ("First.sapl", "First", 900);
    const auto second = addFile ("Second.sapl", "Second", 900);
    make();
    select (rowOf (first));

    // A change, then "No": the other application opens, nothing is written.
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());
    user.okCancelAnswers.push_back (false);
    select (rowOf (second));
    ASSERT_EQ (user.countCalls ("okCancel"), 1);
    EXPECT_EQ (user.calls.back().title, "Save current application?");
    EXPECT_EQ (user.calls.back().text,
               "Do you want to save the current application before selecting a new one?");
    EXPECT_EQ (content->saveDialogsShown, 0);
    EXPECT_EQ (openTitle(), "Second");
    EXPECT_FALSE (content->isModified());

    // A change, then "Yes": saved to a new file at the top; the clicked entry opens.
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());
    user.okCancelAnswers.push_back (true);
    const auto target = folder.getChildFile ("Second copy.sapl");
    user.fileAnswers.push_back (target);
    content->titleToType = "Second copy";
    const auto firstRowBefore = rowOf (first);
    select (firstRowBefore);

    ASSERT_TRUE (target.existsAsFile());
    EXPECT_EQ (rowOf (target), 0);
    EXPECT_EQ (openTitle(), "First");
    EXPECT_EQ (content->getSelectedRow(), rowOf (first));
    expectListAndWorkingCopyAgree();

    auto saved = readSavedFile (target);
    ASSERT_NE (saved.document, nullptr);
    EXPECT_EQ (saved.document->getNumChildElements(), 4 + 2) << "the added device was saved";

    // A change, "Yes", and the Save dialog cancelled: nothing was saved, so nothing is lost: the
    // current application stays open with its edits and its row.
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());
    const auto edited = juce::XmlElement (*content->getWorkingCopy());
    const auto rowBefore = content->getSelectedRow();
    content->savePolicy = ScriptedMainContent::SavePolicy::pressCancel;
    user.okCancelAnswers.push_back (true);
    select (rowOf (second));

    EXPECT_EQ (content->saveDialogsShown, 2);
    EXPECT_EQ (openTitle(), "First");
    EXPECT_TRUE (content->getWorkingCopy()->isEquivalentTo (&edited, false));
    EXPECT_TRUE (content->isModified());
    EXPECT_EQ (content->getSelectedRow(), rowBefore);
    EXPECT_EQ (content->getListBox().getSelectedRow(), rowBefore);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (ApplicationFilesTest, AnOlderFileIsConvertedWithABackupAndTheNoticeOnce)
{
    const auto legacy = addFile ("Legacy.sapl", "Legacy", 500);
    const auto original = contentsOf (legacy);
    make();

    // Opened now, unless it was the first row, which opened during construction.
    select (rowOf (legacy));
    ASSERT_EQ (countMessagesTitled ("Application converted from older version"), 1);
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::info);
    EXPECT_TRUE (user.calls.back().text.contains (".old"));

    const auto backup = legacy.withFileExtension ("old");
    ASSERT_TRUE (backup.existsAsFile());
    EXPECT_EQ (contentsOf (backup), original);

    auto rewritten = readSavedFile (legacy);
    ASSERT_EQ (rewritten.result, SavedFileResult::ok);
    EXPECT_TRUE (hasScrambledFileHeader (contentsOf (legacy)));
    EXPECT_EQ (getSvnRevision (*rewritten.document), 927);
    EXPECT_EQ (rewritten.document->getChildByName ("Title")->getAllSubText(), "Legacy");
    EXPECT_FALSE (content->getEntry (rowOf (legacy))->isConverted());
    EXPECT_EQ (content->getEntry (rowOf (legacy))->getReadTime(), legacy.getLastModificationTime());
    EXPECT_EQ (openTitle(), "Legacy");

    // Not again in this run, and not after a new start either.
    select (rowTitled ("ZELTA Default"));
    select (rowOf (legacy));
    make();
    select (rowOf (legacy));
    EXPECT_EQ (countMessagesTitled ("Application converted from older version"), 1);
    EXPECT_EQ (contentsOf (backup), original) << "the backup keeps the original";
}

TEST_F (ApplicationFilesTest, AConversionThatCannotBackUpOrWriteLeavesTheFileAsItWas)
{
    const auto legacy = addFile ("Legacy.sapl", "Legacy", 415);
    const auto original = contentsOf (legacy);

    // The backup cannot be made: a non-empty folder holds its name.
    const auto backup = legacy.withFileExtension ("old");
    backup.createDirectory();
    backup.getChildFile ("keep").replaceWithText ("x");
    make();
    select (rowOf (legacy));
    ASSERT_EQ (countMessagesTitled ("Application converted from older version"), 1);
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::warning);
    EXPECT_FALSE (user.calls.back().text.contains (".old")) << "no backup is claimed";
    EXPECT_EQ (contentsOf (legacy), original);
    EXPECT_TRUE (backup.isDirectory());
    EXPECT_EQ (content->getWorkingCopy()->getChildByName ("Title")->getAllSubText(), "Legacy");
    backup.deleteRecursively();

    // The rewrite fails: the file keeps its old bytes, the backup is there.
    if (!setImmutable (legacy, true))
        GTEST_SKIP() << "this file system cannot lock a file against root";

    make();
    select (rowOf (legacy));
    setImmutable (legacy, false);
    EXPECT_EQ (contentsOf (legacy), original);
    EXPECT_EQ (contentsOf (backup), original);
    EXPECT_FALSE (content->getEntry (rowOf (legacy))->isConverted()) << "the notice is not repeated";
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false).size(), 2) << "no temporary file is left";
}

TEST_F (ApplicationFilesTest, TooOldAndNewerFilesAreLeftOutAndNewerOnesAreToldOnce)
{
    for (auto revision : { 414, 415, 529, 530, 927, 928 })
        addFile ("r" + juce::String (revision) + ".sapl", "R" + juce::String (revision), revision);

    make();
    EXPECT_EQ (rowTitled ("R414"), -1);
    EXPECT_EQ (rowTitled ("R928"), -1);
    for (auto title : { "R415", "R529", "R530", "R927" })
        EXPECT_GE (rowTitled (title), 0) << title;

    EXPECT_TRUE (content->hasNewerFiles());

    // The notice comes at the first tick only.
    EXPECT_EQ (countMessagesTitled ("Newer Applications detected"), 0);
    content->timerCallback();
    content->timerCallback();
    ASSERT_EQ (countMessagesTitled ("Newer Applications detected"), 1);
    EXPECT_TRUE (
        user.calls.back().text.startsWith ("Applications saved by a newer version of the Vantorel\n"));

    // 415 and 529 are converted when opened; 530 and 927 are taken as they are.
    for (auto title : { "R415", "R529", "R530", "R927" })
        select (rowTitled (title));

    EXPECT_EQ (countMessagesTitled ("Application converted from older version"), 2);
    EXPECT_TRUE (folder.getChildFile ("r415.old").existsAsFile());
    EXPECT_TRUE (folder.getChildFile ("r529.old").existsAsFile());
    EXPECT_FALSE (folder.getChildFile ("r530.old").exists());
    EXPECT_FALSE (folder.getChildFile ("r927.old").exists());
    EXPECT_EQ (contentsOf (folder.getChildFile ("r530.sapl")), scrambled (applicationText ("R530", 530)));
    EXPECT_EQ (getSvnRevision (*readSavedFile (folder.getChildFile ("r529.sapl")).document), 927);

    // A folder with only a too-old file brings no notice.
    for (auto revision : { 415, 529, 530, 927, 928 })
    {
        folder.getChildFile ("r" + juce::String (revision) + ".sapl").deleteFile();
        folder.getChildFile ("r" + juce::String (revision) + ".old").deleteFile();
    }

    user.calls.clear();
    make();
    EXPECT_FALSE (content->hasNewerFiles());
    content->timerCallback();
    EXPECT_EQ (countMessagesTitled ("Newer Applications detected"), 0);
}

TEST_F (ApplicationFilesTest, BadFilesAreLeftOutAndNeverChanged)
{
    const auto good = addFile ("Good.sapl", "Good", 900);
    writeFile (folder.getChildFile ("Empty.sapl"), {});
    writeFile (folder.getChildFile ("Short.sapl"), juce::MemoryBlock ("ZEL", 3));
    writeFile (folder.getChildFile ("Header only.sapl"), juce::MemoryBlock ("ZELTA\0", 6));

    juce::Random random (42);
    juce::MemoryBlock noise (3000);
    random.fillBitsRandomly (noise.getData(), noise.getSize());
    writeFile (folder.getChildFile ("Noise.sapl"), noise);
    auto scrambledNoise = scrambleFile (noise.getData(), noise.getSize());
    writeFile (folder.getChildFile ("Scrambled noise.sapl"), scrambledNoise);

    writeFile (folder.getChildFile ("Foreign.sapl"),
               scrambled ("<Preset><SvnRevision>900</SvnRevision></Preset>"));
    writeFile (folder.getChildFile ("Cut.sapl"),
               scrambled (applicationText ("Cut", 900).dropLastCharacters (20)));
    ASSERT_TRUE (
        folder.getChildFile ("Dangling.sapl").createSymbolicLink (folder.getChildFile ("gone"), true));

    const bool canLockOut = ::geteuid() != 0;
    if (canLockOut)
    {
        addFile ("Locked.sapl", "Locked", 900);
        folder.getChildFile ("Locked.sapl").setReadOnly (true);
        ::chmod (folder.getChildFile ("Locked.sapl").getFullPathName().toRawUTF8(), 0);
    }

    const auto before = folderSnapshot();
    make();
    EXPECT_EQ (content->getNumEntries(), 1 + 7) << "only the good file and the examples";
    EXPECT_GE (rowOf (good), 0);

    // Open everything, save a new file (which rescans), tick: the bad files stay as they were.
    for (int row = 0; row < content->getNumEntries(); ++row)
        select (row);

    select (rowOf (good));
    user.fileAnswers.push_back (folder.getChildFile ("New.sapl"));
    content->buttonClicked (&content->getSaveButton());
    content->timerCallback();
    EXPECT_EQ (content->getNumEntries(), 2 + 7);

    auto after = folderSnapshot();
    after.erase ("New.sapl");
    // The setup pages keep their EQ presets in folders of their own in there.
    after.erase ("Input EQ Presets");
    after.erase ("Output EQ Presets");
    EXPECT_TRUE (after == before) << "no bad file was changed, removed or added to";
    EXPECT_FALSE (content->hasNewerFiles());

    if (canLockOut)
        ::chmod (folder.getChildFile ("Locked.sapl").getFullPathName().toRawUTF8(), 0644);
}

TEST_F (ApplicationFilesTest, DeletingAsksRemovesAndOpensTheNeighbour)
{
    const auto first = addFile ("First.sapl", "First", 900);
    const auto second = addFile ("Second.sapl", "Second", 900);
    make();

    // "No" keeps everything.
    const int secondRow = rowOf (second);
    select (secondRow);
    user.okCancelAnswers.push_back (false);
    content->deleteKeyPressed (secondRow);
    ASSERT_EQ (user.countCalls ("okCancel"), 1);
    EXPECT_EQ (user.calls.back().title, "Delete current application?");
    EXPECT_EQ (user.calls.back().text, "Do you want to delete the current application, Second?");
    EXPECT_TRUE (second.existsAsFile());
    EXPECT_EQ (content->getNumEntries(), 2 + 7);

    // "Yes": the file and its row go; the row above, or the new first row, opens.
    user.okCancelAnswers.push_back (true);
    content->deleteKeyPressed (secondRow);
    EXPECT_FALSE (second.exists());
    EXPECT_EQ (content->getNumEntries(), 1 + 7);
    EXPECT_EQ (rowTitled ("Second"), -1);
    EXPECT_EQ (content->getSelectedRow(), juce::jmax (0, secondRow - 1));
    expectListAndWorkingCopyAgree();

    select (rowOf (first));
    user.okCancelAnswers.push_back (true);
    content->deleteKeyPressed (rowOf (first));
    EXPECT_FALSE (first.exists());
    EXPECT_EQ (content->getSelectedRow(), 0);
    EXPECT_TRUE (content->getEntry (0)->isExample());
    expectListAndWorkingCopyAgree();

    // Examples cannot be deleted: not even asked.
    const auto asked = user.countCalls ("okCancel");
    content->deleteKeyPressed (0);
    EXPECT_EQ (user.countCalls ("okCancel"), asked);
    EXPECT_EQ (content->getNumEntries(), 7);
    EXPECT_FALSE (user.anyUnexpected());
}

TEST_F (ApplicationFilesTest, AFailedDeleteIsReportedAndKeepsTheEntry)
{
    const auto stuck = addFile ("Stuck.sapl", "Stuck", 900);
    make();
    const int row = rowOf (stuck);
    select (row);

    // The name now belongs to a folder that is not empty: removing it fails, also for root.
    stuck.deleteFile();
    stuck.createDirectory();
    stuck.getChildFile ("inside").replaceWithText ("x");

    user.okCancelAnswers.push_back (true);
    content->deleteKeyPressed (row);
    ASSERT_EQ (user.countCalls ("message"), 1);
    EXPECT_EQ (user.calls.back().icon, UserInteraction::Icon::warning);
    EXPECT_TRUE (user.calls.back().text.contains (stuck.getFullPathName()));
    EXPECT_EQ (rowOf (stuck), row);
    EXPECT_EQ (content->getSelectedRow(), row);
    EXPECT_TRUE (stuck.getChildFile ("inside").existsAsFile());
}

TEST_F (ApplicationFilesTest, DeletingAChangedApplicationOffersToSaveIt)
{
    const auto first = addFile ("First.sapl", "First", 900);
    make();
    select (rowOf (first));
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());

    user.okCancelAnswers = { true, false }; // delete: yes; save the changes: no
    content->deleteKeyPressed (rowOf (first));
    EXPECT_FALSE (first.exists());
    ASSERT_EQ (user.countCalls ("okCancel"), 2);
    EXPECT_EQ (user.calls.back().title, "Save current application?");
    EXPECT_EQ (content->getSelectedRow(), 0);
}

TEST_F (ApplicationFilesTest, ClosingAsksOnlyForChangesAndStaysWhenTheSaveDidNotHappen)
{
    make();
    EXPECT_TRUE (content->prepareToClose());
    EXPECT_TRUE (user.calls.empty()) << "no changes, no question";

    // A change, "Yes", the dialog is cancelled: nothing written, the window stays.
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());
    content->savePolicy = ScriptedMainContent::SavePolicy::pressCancel;
    user.okCancelAnswers.push_back (true);
    EXPECT_FALSE (content->prepareToClose());
    ASSERT_EQ (user.countCalls ("okCancel"), 1);
    EXPECT_EQ (user.calls.back().title, "Save current application?");
    EXPECT_EQ (user.calls.back().text, "Do you want to save the current application before closing?");
    EXPECT_TRUE (content->isModified());
    EXPECT_TRUE (folder.findChildFiles (juce::File::findFiles, false).isEmpty());

    // The chooser is cancelled: the same.
    content->savePolicy = ScriptedMainContent::SavePolicy::pressSave;
    user.okCancelAnswers.push_back (true);
    user.fileAnswers.push_back (std::nullopt);
    EXPECT_FALSE (content->prepareToClose());

    // "Yes" and saved: the window may close.
    user.okCancelAnswers.push_back (true);
    user.fileAnswers.push_back (folder.getChildFile ("Closing.sapl"));
    EXPECT_TRUE (content->prepareToClose());
    EXPECT_TRUE (folder.getChildFile ("Closing.sapl").existsAsFile());

    // "No": closes without writing.
    content->getDiagram()->buttonClicked (&content->getDiagram()->getAddButton());
    user.okCancelAnswers.push_back (false);
    const auto saves = content->saveDialogsShown;
    EXPECT_TRUE (content->prepareToClose());
    EXPECT_EQ (content->saveDialogsShown, saves);
    EXPECT_FALSE (user.anyUnexpected());
}
