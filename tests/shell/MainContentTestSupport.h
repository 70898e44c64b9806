#pragma once

#include "document/SavedFileFormat.h"
#include "look/ColourScheme.h"
#include "shell/MainContentComponent.h"
#include "shell/SaveFileDialog.h"
#include "document/SavedFileWriter.h"
#include "testing/http/LoopbackVersionService.h"
#include "tests/shell/ImmutableFile.h"
#include "testing/user/ScriptedUserInteraction.h"

#include <gtest/gtest.h>

namespace maintest
{
// Nobody listens on port 1 of the loopback interface: the version check is
// refused at once and ends with "no answer".
inline VersionEndpoint unreachableEndpoint()
{
    VersionEndpoint endpoint;
    endpoint.host = "http://127.0.0.1:1";
    endpoint.servicePath = "CorvadineService.svc";
    endpoint.timeOutSeconds = 2;
    return endpoint;
}

// A version service on 127.0.0.1 that answers one request with the two revisions
// and stops.
class VersionService : public LoopbackVersionService
{
public:
    VersionService (int earliestCompatible, int latest)
        : LoopbackVersionService (versionsAnswer (earliestCompatible, latest))
    {
    }
};

template <typename ComponentType> ComponentType* findChild (juce::Component& parent, const juce::String& name)
{
    for (auto* c : parent.getChildren())
        if (auto* typed = dynamic_cast<ComponentType*> (c); typed != nullptr && c->getName() == name)
            return typed;

    return nullptr;
}

// The main content with the Save dialog answered by the test instead of a
// person: the dialog is not shown in a window; the policy presses its buttons.
class ScriptedMainContent : public MainContentComponent
{
public:
    using MainContentComponent::MainContentComponent;

    enum class SavePolicy
    {
        pressSave,
        pressCancel
    };

    SavePolicy savePolicy = SavePolicy::pressSave;
    juce::String titleToType; // typed into the title field before Save, when set
    int saveDialogsShown = 0;
    std::function<void (const juce::File&)> afterSave; // called with the file written

protected:
    int runSaveDialog (SaveFileDialog& dialog) override
    {
        ++saveDialogsShown;

        if (titleToType.isNotEmpty())
            if (auto* title = findChild<juce::Label> (dialog, "TitleEdit"))
                title->setText (titleToType, juce::dontSendNotification);

        const auto* buttonName = savePolicy == SavePolicy::pressSave ? "Save" : "Cancel";

        if (auto* button = findChild<juce::Button> (dialog, buttonName))
            dialog.buttonClicked (button);

        const bool saved = dialog.getLastOutcome() == SaveFileDialog::Outcome::saved;

        if (saved && afterSave)
            afterSave (dialog.getSavedFile());

        return saved ? 1 : 0;
    }
};

// An Application document of the given revision with one device.
inline juce::String applicationText (const juce::String& title, int revision,
                                     const juce::String& model = "ZELTA")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Application><Title>" + title +
           "</Title><Author>Ann</Author><Description>About " + title + "</Description><SvnRevision>" +
           juce::String (revision) + "</SvnRevision><Device name=\"" + title + " amp\" model=\"" + model +
           "\"><Input id=\"0\" label=\"Mic\"/><CORVADINE Name=\"x\"><EFFECT Id=\"3\"/></CORVADINE></Device>"
           "</Application>";
}

inline juce::MemoryBlock scrambled (const juce::String& text)
{
    return scrambleFile (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

inline juce::File writeFile (const juce::File& file, const juce::MemoryBlock& bytes)
{
    file.replaceWithData (bytes.getData(), bytes.getSize());
    return file;
}

inline juce::MemoryBlock contentsOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block;
}

// A temporary Documents folder with its applications folder, the program's look,
// a scripted user, and the main content made on demand.
class MainContentTest : public ::testing::Test
{
protected:
    MainContentTest()
    {
        applyColourScheme (look);
        juce::LookAndFeel::setDefaultLookAndFeel (&look);
        documents = juce::File::getSpecialLocation (juce::File::tempDirectory)
                        .getNonexistentChildFile ("vantorel-main", "");
        documents.createDirectory();
        folder = documents.getChildFile ("ZELTA Applications");
        folder.createDirectory();
    }

    ~MainContentTest() override
    {
        content.reset();
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        documents.deleteRecursively();
    }

    ScriptedMainContent& make (const VersionEndpoint& endpoint = unreachableEndpoint(),
                               VantorelCom* link = nullptr)
    {
        content.reset();
        MainContentComponent::Services services{ user, documents, endpoint, link,
                                                 [this] (juce::Component&) { return familyChoice; } };
        content = std::make_unique<ScriptedMainContent> (services);
        return *content;
    }

    // Runs the message loop until the version service's answer has been shown.
    void waitForVersionAnswer()
    {
        for (int i = 0; i < 1000 && content->isVersionCheckRunning(); ++i)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (5);

        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }

    juce::File addFile (const juce::String& name, const juce::String& title, int revision,
                        bool scramble = true)
    {
        const auto text = applicationText (title, revision);
        return writeFile (folder.getChildFile (name),
                          scramble ? scrambled (text)
                                   : juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8()));
    }

    // The row whose entry has this file, or -1.
    int rowOf (const juce::File& file) const
    {
        for (int i = 0; i < content->getNumEntries(); ++i)
            if (content->getEntry (i)->getFile() == file)
                return i;

        return -1;
    }

    int rowTitled (const juce::String& title) const
    {
        for (int i = 0; i < content->getNumEntries(); ++i)
            if (content->getEntry (i)->getTitle() == title)
                return i;

        return -1;
    }

    juce::String openTitle() const
    {
        auto* title = content->getWorkingCopy()->getChildByName ("Title");
        return title != nullptr ? title->getAllSubText() : juce::String();
    }

    // The list box's selection and the opened application name the same entry.
    // (The diagram completes devices of the working copy, so only the texts and
    // the devices are compared.)
    void expectListAndWorkingCopyAgree()
    {
        const auto row = content->getSelectedRow();
        ASSERT_GE (row, 0);
        EXPECT_EQ (content->getListBox().getSelectedRow(), row);

        const auto& open = *content->getWorkingCopy();
        const auto& listed = *content->getEntry (row)->getApplication();

        for (auto tag : { "Title", "Author", "Description" })
        {
            auto* a = open.getChildByName (tag);
            auto* b = listed.getChildByName (tag);
            EXPECT_EQ (a != nullptr ? a->getAllSubText() : "-", b != nullptr ? b->getAllSubText() : "-")
                << tag;
        }

        EXPECT_EQ (countChildren (open, "Device"), countChildren (listed, "Device"));
    }

    static int countChildren (const juce::XmlElement& element, const juce::String& tag)
    {
        int n = 0;
        for (auto* child : element.getChildWithTagNameIterator (tag))
            n += child != nullptr ? 1 : 0;
        return n;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V3 look;
    juce::File documents, folder;
    ScriptedUserInteraction user;
    int familyChoice = 2; // "ZELTA M" from the Add button's menu
    std::unique_ptr<ScriptedMainContent> content;
};
} // namespace maintest
