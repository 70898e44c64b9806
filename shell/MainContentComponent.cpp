#include "shell/MainContentComponent.h"

#include "document/ProgramRevision.h"
#include "document/SavedFileFormat.h"
#include "document/SettingsDocument.h"
#include "resources/NamedResources.h"
#include "document/ApplicationsFolder.h"
#include "look/ColourScheme.h"
#include "platform/JuceUserInteraction.h"
#include "shell/SaveFileDialog.h"
#include "document/SavedFileWriter.h"
#include "shell/ProgramRoad.h"
#include "shell/ReadbackRoad.h"
#include "shell/WindowDevicePrompts.h"

#include <cmath>

namespace
{
// Every flag of the diagram: editable labels, Add and Delete buttons.
constexpr juce::uint8 allDiagramFlags = 0xff;
constexpr float versionFontHeight = 13.0f;

// Nearest integer, halves to even.
int roundHalfEven (double value)
{
    return (int)std::nearbyint (value);
}

bool showsNewVersionLink (int versionStatus)
{
    return versionStatus == VersionCheck::updateAvailable || versionStatus == VersionCheck::mustUpdate;
}
} // namespace

class MainContentComponent::VersionCheckThread : public juce::Thread
{
public:
    VersionCheckThread (MainContentComponent& ownerToTell, const VersionEndpoint& endpointToAsk)
        : juce::Thread ("Version Check"), owner (&ownerToTell), endpoint (endpointToAsk)
    {
    }

    ~VersionCheckThread() override
    {
        // The window is closing: the request is broken off rather than awaited, and the thread
        // ends within one step of the transfer. It is never killed, which would end the program.
        signalThreadShouldExit();
        canceller.cancel();
        waitForThreadToExit (-1);
    }

    void run() override
    {
        const VersionCheck check (programRevision, endpoint, &canceller);
        const int status = check.getStatus();

        juce::MessageManager::callAsync (
            [owner = owner, status]
            {
                if (owner != nullptr)
                    owner->showVersionStatus (status);
            });
    }

private:
    // Checked on the message thread, where the owner is deleted.
    const juce::Component::SafePointer<MainContentComponent> owner;
    const VersionEndpoint endpoint;
    RequestCanceller canceller;
};

MainContentComponent::MainContentComponent()
    : MainContentComponent (std::make_unique<JuceUserInteraction>(), nullptr,
                            juce::File::getSpecialLocation (juce::File::userDocumentsDirectory),
                            VersionEndpoint::builtIn(), nullptr, DiagramView::showFamilyMenu, nullptr)
{
}

MainContentComponent::MainContentComponent (const Services& services)
    : MainContentComponent (nullptr, &services.interaction, services.documentsFolder,
                            services.versionEndpoint, services.link, services.familyMenu, services.prompts)
{
}

MainContentComponent::MainContentComponent (std::unique_ptr<UserInteraction> ownInteractionToUse,
                                            UserInteraction* externalInteraction,
                                            const juce::File& documentsFolderToUse,
                                            const VersionEndpoint& versionEndpoint, VantorelCom* externalLink,
                                            DiagramView::FamilyMenu familyMenuToUse,
                                            DevicePrompts* externalPrompts)
    : juce::Thread ("Program Thread"), ownInteraction (std::move (ownInteractionToUse)),
      interaction (externalInteraction != nullptr ? *externalInteraction : *ownInteraction),
      documentsFolder (documentsFolderToUse), familyMenu (std::move (familyMenuToUse)),
      versionCheckThread (std::make_unique<VersionCheckThread> (*this, versionEndpoint)),
      sharedLink (externalLink == nullptr ? std::make_unique<juce::SharedResourcePointer<VantorelCom>>()
                                          : nullptr),
      link (externalLink != nullptr ? *externalLink : sharedLink->getObject()),
      identity (std::make_unique<AmplifierIdentity> (link)),
      ownPrompts (externalPrompts == nullptr
                      ? std::make_unique<WindowDevicePrompts> ([this] { return choosePassword(); })
                      : nullptr),
      prompts (externalPrompts != nullptr ? *externalPrompts : *ownPrompts)
{
    synchroniser = std::make_unique<DeviceSynchroniser> (
        link, *this, interaction,
        DeviceSynchroniser::Hooks{ [this] { return hasPendingPageChanges(); },
                                   [this] { setSyncEnabled (false); } });
    programRoad = std::make_unique<ProgramRoad> (link, *identity, interaction, prompts, *synchroniser);
    readbackRoad =
        std::make_unique<ReadbackRoad> (link, *identity, *presets, interaction, prompts, *synchroniser);

    saveButton = std::make_unique<iosButton> ("Save");
    programButton = std::make_unique<iosButton> ("Program");
    statusLabel = std::make_unique<juce::Label>();
    versionLabel = std::make_unique<juce::Label>();
    newVersionLink =
        std::make_unique<juce::HyperlinkButton> ("New version available!", juce::URL (productWebPage));
    viewport = std::make_unique<juce::Viewport>();
    passwordEntry = std::make_unique<PasswordComponent>();
    setupArea = std::make_unique<SetupArea> (*this, *presets, interaction, documentsFolder, *this, *this);
    listBox = std::make_unique<juce::ListBox>();

    passwordEntry->addActionListener (this);
    passwordEntry->addListener (this);
    passwordEntry->setHeading ("Choose password");

    int logoSize = 0;
    if (auto* logoData = getNamedResource ("vellLogo_png", logoSize))
        logo = juce::ImageCache::getFromMemory (logoData, logoSize);

    addAndMakeVisible (*saveButton);
    saveButton->addListener (this);
    addAndMakeVisible (*programButton);
    programButton->addListener (this);
    // Enabled by the status display once a suitable amplifier is connected.
    programButton->setEnabled (false);

    statusLabel->setJustificationType (juce::Justification::centredRight);
    statusLabel->setFont (juce::Font (versionFontHeight, juce::Font::plain));
    addAndMakeVisible (*statusLabel);
    statusDisplay = std::make_unique<StatusDisplay> (link, *identity, *statusLabel, *programButton,
                                                     static_cast<StatusDisplay::Host&> (*this));

    versionLabel->setText (juce::String ("v") + programVersion + "r" + juce::String (programRevision),
                           juce::dontSendNotification);
    versionLabel->setColour (juce::Label::textColourId, juce::Colours::darkgrey);
    versionLabel->setJustificationType (juce::Justification::centred);
    versionLabel->setFont (juce::Font (versionFontHeight));
    addAndMakeVisible (*versionLabel);

    addAndMakeVisible (*viewport);

    rescanApplications (false);

    listBox->setRowHeight (rowHeight);
    listBox->setModel (this);
    addAndMakeVisible (*listBox);
    // Opens the first application: working copy, diagram and device 0.
    listBox->selectRow (0);

    // Takes the keyboard back after the Save dialog.
    setWantsKeyboardFocus (true);
    saveButton->addShortcut (juce::KeyPress::createFromDescription ("CTRL + S"));
    programButton->addShortcut (juce::KeyPress::createFromDescription ("CTRL + P"));

    setSize (1024, 600);
    startTimer (timerIntervalMs);
    // Started last, so that it does not compete with the building of the window.
    versionCheckThread->startThread();
}

MainContentComponent::~MainContentComponent()
{
    stopTimer();
    versionCheckThread.reset();

    // The pass ends between two frames; nothing uses the link after this.
    synchroniser->stopPass();

    // The diagram and the pages point into the working copy: they go first.
    viewport->setViewedComponent (nullptr, false);
    diagram.reset();
    deleteSetupPages();
    workingCopy.reset();

    listBox->setModel (nullptr);
    passwordEntry->removeActionListener (this);
    passwordEntry->removeListener (this);
}

juce::File MainContentComponent::getApplicationsFolder() const
{
    return ::getApplicationsFolder (documentsFolder);
}

int MainContentComponent::getSelectedRow() const
{
    return openedEntry == nullptr ? -1 : entries.indexOf (openedEntry);
}

//==============================================================================
void MainContentComponent::rescanApplications (bool incremental)
{
    const auto files =
        getApplicationsFolder().findChildFiles (juce::File::findFiles | juce::File::ignoreHiddenFiles, false,
                                                juce::String ("*.") + applicationFileExtension);

    if (!incremental)
    {
        openedEntry = nullptr;
        entries.clear();

        for (auto& file : files)
        {
            auto entry = std::make_unique<ApplicationListEntry> (file);

            if (entry->getApplication() != nullptr)
                entries.add (entry.release());
            else if (entry->isNewer())
                newerFilesFound = true;
        }

        if (auto* examples = presets->getList (0))
            for (auto* example : *examples)
                entries.add (new ApplicationListEntry (std::make_unique<juce::XmlElement> (*example)));

        return;
    }

    for (auto* entry : entries)
        if (!entry->isExample() && entry->getFile().getLastModificationTime() != entry->getReadTime())
            entry->readFile();

    int insertAt = 0;

    for (auto& file : files)
    {
        const bool known = std::any_of (entries.begin(), entries.end(),
                                        [&file] (ApplicationListEntry* e) { return e->getFile() == file; });
        if (known)
            continue;

        auto entry = std::make_unique<ApplicationListEntry> (file);

        if (entry->getApplication() != nullptr)
            entries.insert (insertAt++, entry.release());
        else if (entry->isNewer())
            newerFilesFound = true;
    }
}

void MainContentComponent::updateModifiedFlag()
{
    // Everyone is asked: the diagram's answer clears its own flag.
    const bool pagesModified = anySetupPageModified();
    const bool diagramChanged = diagram != nullptr && diagram->hasChanges();
    modified = modified || pagesModified || diagramChanged;
}

void MainContentComponent::setSyncEnabled (bool on)
{
    programButton->setColour (juce::TextButton::buttonColourId,
                              on ? juce::Colours::orange
                                 : getLookAndFeel().findColour (juce::TextButton::buttonColourId));
    programButton->setButtonText (on ? juce::String ("Sync Enabled") : statusDisplay->getIdleProgramText());

    if (diagram != nullptr)
        if (auto* box = diagram->getSelectedDevice())
            box->setSyncMarked (on);

    synchroniser->setEnabled (on);
}

void MainContentComponent::synchronisationTick()
{
    synchroniser->tick (getSelectedDeviceBox());
}

//==============================================================================
int MainContentComponent::getNumRows()
{
    return entries.size();
}

void MainContentComponent::paintListBoxItem (int rowNumber, juce::Graphics& g, int width, int height,
                                             bool rowIsSelected)
{
    auto* entry = entries[rowNumber];

    if (entry == nullptr)
        return;

    const bool example = entry->isExample();
    const auto accent = findColour (accentColourId);
    auto titleColour = juce::Colours::black;
    auto authorColour = example ? accent : juce::Colours::grey;

    if (rowIsSelected)
    {
        g.setGradientFill (
            juce::ColourGradient (accent.brighter (0.4f), 0.0f, 0.0f, accent, 0.0f, (float)height, false));
        g.fillAll();
        titleColour = juce::Colours::white;
        authorColour = example ? accent.brighter (1.0f) : juce::Colours::lightgrey;
    }

    const int titleHeight = juce::jmax (0, roundHalfEven (0.6 * height) - 6);
    const int authorHeight = juce::jmax (0, roundHalfEven (0.4 * height) - 4);

    g.setColour (titleColour);
    g.setFont (juce::Font ((float)titleHeight, juce::Font::plain));
    g.drawText (entry->getTitle(), 4, 4, width - 4, titleHeight, juce::Justification::topLeft, true);

    g.setColour (authorColour);
    g.setFont (juce::Font ((float)authorHeight, juce::Font::plain));
    g.drawText (entry->getAuthor(), 4, roundHalfEven (0.6 * height), width - 4, authorHeight,
                juce::Justification::topLeft, true);

    g.setColour (juce::Colours::lightgrey.withAlpha (0.5f));
    g.drawHorizontalLine (height - 1, 0.0f, (float)width);
}

void MainContentComponent::selectedRowsChanged (int lastRowSelected)
{
    if (selectingQuietly)
        return;

    setSyncEnabled (false);

    if (lastRowSelected < 0)
    {
        if (!entries.isEmpty())
            listBox->selectRow (0);

        return;
    }

    auto* entry = entries[lastRowSelected];

    if (entry == nullptr || entry->getApplication() == nullptr)
        return;

    if (workingCopy != nullptr)
    {
        updateModifiedFlag();

        if (modified && interaction.askOkCancel (UserInteraction::Icon::question, "Save current application?",
                                                 "Do you want to save the current application before "
                                                 "selecting a new one?",
                                                 "Yes", "No"))
        {
            const auto savedFile = runSaveRoad();

            // The save did not happen: the edits would be lost, so the current application
            // stays open, and so does its row.
            if (savedFile == juce::File())
            {
                selectRowQuietly (entries.indexOf (openedEntry));
                return;
            }

            takeSavedFile (savedFile);
            refreshList();

            // New files went to the top of the list: the clicked entry may have moved.
            selectRowQuietly (entries.indexOf (entry));
        }
    }

    openEntry (*entry);
}

void MainContentComponent::openEntry (ApplicationListEntry& entry)
{
    viewport->setViewedComponent (nullptr, false);
    diagram.reset();
    deleteSetupPages();

    workingCopy = std::make_unique<juce::XmlElement> (*entry.getApplication());
    openedEntry = &entry;
    rebuildDiagram (true);

    if (entry.isConverted())
        showConversionNotice (entry);

    modified = false;
}

void MainContentComponent::rebuildDiagram (bool forceSelection)
{
    diagram = std::make_unique<DiagramView> (*workingCopy, *presets, allDiagramFlags, descriptionShown,
                                             interaction, familyMenu);
    viewport->setViewedComponent (diagram.get(), false);
    diagram->addListener (this);
    diagram->selectDevice (0, forceSelection);
    resized();
}

void MainContentComponent::showConversionNotice (ApplicationListEntry& entry)
{
    const auto file = entry.getFile();
    // The file is rewritten only when its original is safe in the backup.
    const bool backedUp = file.copyFileTo (file.withFileExtension ("old"));

    if (backedUp)
        interaction.showMessage (
            UserInteraction::Icon::info, "Application converted from older version",
            "The selected application was created with an older version of the Vantorel.\n"
            "The application has now been updated to match the new version and the old file has\n"
            "been backed up with the file extension .old");
    else
        interaction.showMessage (UserInteraction::Icon::warning, "Application converted from older version",
                                 "The selected application was created with an older version of the Vantorel "
                                 "and has been updated to match the new version.\nIts file could not be "
                                 "backed up, so the file has been left unchanged.");

    entry.clearConverted();
    setSvnRevision (*entry.getApplication(), programRevision);

    if (backedUp && writeDocumentFile (*entry.getApplication(), file, false) == FileWriteResult::written)
        entry.readFile();
}

//==============================================================================
juce::File MainContentComponent::runSaveRoad()
{
    if (entries.isEmpty() || workingCopy == nullptr)
        return {};

    // An example is saved as a new application of the user's: the dialog starts
    // from these words rather than from the example's own texts.
    if (openedEntry != nullptr && openedEntry->isExample())
    {
        setApplicationTitle (*workingCopy, "Title");
        setApplicationAuthor (*workingCopy, "Author");
        setApplicationDescription (*workingCopy, "Description");
    }

    SaveFileDialog dialog (*workingCopy, programRevision, interaction, getApplicationsFolder());
    const bool written =
        runSaveDialog (dialog) != 0 && dialog.getLastOutcome() == SaveFileDialog::Outcome::saved;

    // The dialog's window took the keyboard with it; the key map answers only while this window
    // has it.
    grabKeyboardFocus();

    return written ? dialog.getSavedFile() : juce::File();
}

ApplicationListEntry* MainContentComponent::takeSavedFile (const juce::File& savedFile)
{
    // Read again whatever the file's time says: it has a resolution of one
    // second, and a file saved over within the second of its last read would
    // otherwise keep showing its old content.
    for (auto* entry : entries)
        if (!entry->isExample() && entry->getFile() == savedFile)
            entry->readFile();

    rescanApplications (true);

    for (auto* entry : entries)
        if (!entry->isExample() && entry->getFile() == savedFile && entry->getApplication() != nullptr)
            return entry;

    return nullptr;
}

bool MainContentComponent::saveAndReopen()
{
    const auto savedFile = runSaveRoad();

    if (savedFile == juce::File())
        return false;

    auto* saved = takeSavedFile (savedFile);
    modified = false;

    viewport->setViewedComponent (nullptr, false);
    diagram.reset();
    deleteSetupPages();

    // The list and the working copy follow the saved file. A file saved outside
    // the applications folder has no entry: the working copy then stays what was
    // saved, and the list keeps the entry it had.
    if (saved != nullptr)
    {
        openedEntry = saved;
        workingCopy = std::make_unique<juce::XmlElement> (*saved->getApplication());
    }

    refreshList();
    rebuildDiagram (false);
    return true;
}

int MainContentComponent::runSaveDialog (SaveFileDialog& dialog)
{
    return juce::DialogWindow::showModalDialog ("Save File", &dialog, this,
                                                findColour (juce::ResizableWindow::backgroundColourId), true,
                                                false, false);
}

void MainContentComponent::selectRowQuietly (int row)
{
    const juce::ScopedValueSetter<bool> quiet (selectingQuietly, true);

    if (row >= 0)
        listBox->selectRow (row);
    else
        listBox->deselectAllRows();
}

void MainContentComponent::refreshList()
{
    {
        const juce::ScopedValueSetter<bool> quiet (selectingQuietly, true);
        listBox->updateContent();
    }

    // Rows moved when new files were inserted above: the selection follows the open entry.
    if (openedEntry != nullptr)
        selectRowQuietly (entries.indexOf (openedEntry));

    listBox->repaint();
}

void MainContentComponent::deleteKeyPressed (int row)
{
    auto* entry = entries[row];

    if (entry == nullptr || entry->isExample())
        return;

    if (!interaction.askOkCancel (UserInteraction::Icon::question, "Delete current application?",
                                  "Do you want to delete the current application, " + entry->getTitle() + "?",
                                  "Yes", "No"))
        return;

    const auto file = entry->getFile();

    if (!file.deleteFile())
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Delete failed",
                                 "The file\n" + file.getFullPathName() +
                                     "\ncould not be deleted. It stays in the list.");
        return;
    }

    if (openedEntry == entry)
        openedEntry = nullptr;

    entries.removeObject (entry);

    {
        const juce::ScopedValueSetter<bool> quiet (selectingQuietly, true);
        listBox->updateContent();
    }

    // Selecting opens the neighbour, with the save offer when the deleted
    // application had changes; deselecting falls back to row 0.
    if (row > 0)
        listBox->selectRow (row - 1);
    else
        listBox->deselectAllRows();

    listBox->repaint();
}

bool MainContentComponent::prepareToClose()
{
    setSyncEnabled (false);
    updateModifiedFlag();

    if (!modified)
        return true;

    if (!interaction.askOkCancel (UserInteraction::Icon::question, "Save current application?",
                                  "Do you want to save the current application before closing?", "Yes", "No"))
        return true;

    return saveAndReopen();
}

//==============================================================================
void MainContentComponent::buttonClicked (juce::Button* button)
{
    if (button == saveButton.get())
        saveAndReopen();
    else if (button == programButton.get())
        programButtonClicked();
}

void MainContentComponent::programButtonClicked()
{
    if (statusDisplay->handleProgramClick())
        return;

    if (isSyncEnabled())
    {
        setSyncEnabled (false);
        return;
    }

    if (entries.isEmpty())
        return;

    programRoad->run (getSelectedDeviceBox(),
                      [this] (bool synchronise)
                      {
                          setSyncEnabled (synchronise);
                          passwordText.clear();
                      });
}

std::optional<juce::String> MainContentComponent::choosePassword()
{
    return passwordEntry->runDialog (getPasswordDialog());
}

void MainContentComponent::deviceReadbackRequested (DiagramView&, DiagramDevice& box)
{
    readbackRoad->run (box);
}

void MainContentComponent::devicePadlockChanged (DiagramView&, DiagramDevice& box)
{
    // Passes send the selected device only.
    if (&box == getSelectedDeviceBox())
        synchroniser->padlockChanged();
}

void MainContentComponent::diagramSelectionChanged (DiagramView&)
{
    setSyncEnabled (false);
    rebuildSetupPages();
    resized();
}

void MainContentComponent::rebuildSetupPages()
{
    auto* box = getSelectedDeviceBox();
    auto* device = diagram != nullptr ? diagram->getSelectedDeviceXml() : nullptr;

    // The pages of the device left behind are asked before they go, or their edits
    // would never mark the application. Not when the same element was replaced in
    // place (its pages point into children that are gone) or left the application.
    if (auto* shown = setupArea->getDevice(); shown != nullptr && shown != device && workingCopy != nullptr &&
                                              workingCopy->containsChildElement (shown))
        updateModifiedFlag();

    deleteSetupPages();

    if (box == nullptr || device == nullptr)
        return;

    const auto family = box->getDeviceFamily();
    setupArea->createPages (*device, family);
    // A page that counts as modified as soon as it is built marks the application.
    updateModifiedFlag();
    setupArea->showPages();
    // Older firmware can be updated whichever device is selected.
    programButton->setEnabled (link.isFamily (DeviceFamily::indexOfName (family.name)) ||
                               statusDisplay->isFirmwareUpdateOffered());
}

void MainContentComponent::deleteSetupPages()
{
    setupArea->deletePages();
}

bool MainContentComponent::anySetupPageModified()
{
    return setupArea->anyPageModified();
}

bool MainContentComponent::hasPendingPageChanges()
{
    return setupArea->hasPendingPageChanges();
}

void MainContentComponent::refreshGpiMatrixState()
{
    setupArea->refreshGpiMatrixState();
}

void MainContentComponent::setupTabChanged (SetupTabSelector&)
{
    setupArea->tabChanged();
    resized();
}

void MainContentComponent::setupComponentChanged (SetupComponent& page)
{
    setupArea->pageChanged (page);
}

void MainContentComponent::actionListenerCallback (const juce::String& message)
{
    passwordText = message;

    if (message.isEmpty())
    {
        interaction.showMessage (UserInteraction::Icon::warning, "Error", "Please provide a password");
        return;
    }

    if (passwordDialog != nullptr)
        passwordDialog->closeButtonPressed();
}

void MainContentComponent::passwordEntryCancelled (PasswordComponent&)
{
    // The password component keeps Escape to itself, so the dialog is closed here.
    passwordText.clear();

    if (passwordDialog != nullptr)
        passwordDialog->closeButtonPressed();
}

juce::DialogWindow& MainContentComponent::getPasswordDialog()
{
    // Made on first use: a window is a desktop object, and most runs never ask
    // for a password.
    if (passwordDialog == nullptr)
        passwordDialog = passwordEntry->createHiddenDialog ("Choose password");

    return *passwordDialog;
}

//==============================================================================
bool MainContentComponent::keyPressed (const juce::KeyPress& key)
{
    const auto modifiers = key.getModifiers();

    if (key.getKeyCode() == juce::KeyPress::F7Key && modifiers.isCtrlDown() && modifiers.isShiftDown())
        runDeviceSelfTest();

    return false;
}

void MainContentComponent::runDeviceSelfTest()
{
    if (!interaction.askOkCancel (UserInteraction::Icon::info, "Run test",
                                  "The program will now perform a self test of device programming.\n"
                                  "This will cause the UI to be unresponsive for up to 1 minute!"))
        return;

    // The test overwrites the amplifier's settings: it is no longer in step with the device.
    setSyncEnabled (false);
    const DeviceSynchroniser::LinkHold hold (*synchroniser);
    const AmplifierIdentity::Hold identityHold (*identity);

    if (link.runSelfTest (*presets))
        interaction.showMessage (UserInteraction::Icon::info, "Success", "Test successful!");
    else
        interaction.showMessage (UserInteraction::Icon::info, "Fail", "Test failed!");
}

void MainContentComponent::timerCallback()
{
    // Cleared first: the message box runs a modal loop in which this timer keeps ticking.
    if (noticePending)
    {
        noticePending = false;

        if (newerFilesFound)
            interaction.showMessage (UserInteraction::Icon::info, "Newer Applications detected",
                                     "Applications saved by a newer version of the Vantorel\n"
                                     "have been detected and removed from list.\n"
                                     "In order to open these applications, please download the latest "
                                     "Vantorel.");
    }

    onStatusTick();
}

void MainContentComponent::onStatusTick()
{
    statusDisplay->tick();
}

void MainContentComponent::launchFirmwareUpdate()
{
    statusDisplay->launchFirmwareUpdate();
}

DiagramDevice* MainContentComponent::getSelectedDeviceBox()
{
    return diagram != nullptr ? diagram->getSelectedDevice() : nullptr;
}

void MainContentComponent::run()
{
    synchroniser->runPass();
}

//==============================================================================
void MainContentComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    const auto background = findColour (juce::ResizableWindow::backgroundColourId);
    g.setGradientFill (juce::ColourGradient (background.brighter (0.4f), 0.0f, (float)bottomStrip.getY(),
                                             background.darker (0.4f), 0.0f, (float)getHeight(), false));
    g.fillRect (bottomStrip);

    g.drawImageWithin (logo, bottomStrip.getX(), bottomStrip.getY() + 14, bottomStrip.getWidth(),
                       bottomStrip.getHeight() - 28, juce::RectanglePlacement::centred, false);

    g.setColour (background);
    g.drawHorizontalLine (bottomStrip.getY(), 0.0f, (float)getWidth());
    g.drawVerticalLine (listArea.getRight(), 0.0f, (float)bottomStrip.getY());
    g.drawVerticalLine (diagramArea.getRight(), 0.0f, (float)bottomStrip.getY());
}

void MainContentComponent::resized()
{
    const int w = getWidth();
    const int h = getHeight();

    bottomStrip = { 0, h - 2 * margin - buttonHeight, w, buttonHeight + 2 * margin };

    listArea = { 0, 0, w / 4, bottomStrip.getY() };
    listBox->setBounds (listArea);

    // Exactly wide enough for the diagram and a vertical scroll bar.
    const int diagramWidth =
        (diagram != nullptr ? diagram->getWidth() : 0) + viewport->getScrollBarThickness();
    diagramArea = { listArea.getRight() + 1, 0, diagramWidth, bottomStrip.getY() };
    viewport->setBounds (diagramArea);

    tabSelectorArea = { diagramArea.getRight() + 1, 0, setupWidth, tabSelectorHeight };
    pageArea = { tabSelectorArea.getX(), tabSelectorHeight + 1, setupWidth,
                 h - tabSelectorHeight - bottomStrip.getHeight() - 1 };
    setupArea->setBounds (tabSelectorArea, pageArea);

    saveButton->setBounds (bottomStrip.getX() + margin, bottomStrip.getY() + margin, buttonWidth,
                           buttonHeight);
    programButton->setBounds (w - buttonWidth - margin, bottomStrip.getY() + margin, buttonWidth,
                              buttonHeight);
    statusLabel->setBounds (programButton->getX() - (statusWidth + margin), bottomStrip.getY() + margin,
                            statusWidth, buttonHeight);

    layoutVersionLine();
}

bool MainContentComponent::isVersionCheckRunning() const
{
    return versionCheckThread != nullptr && versionCheckThread->isThreadRunning();
}

void MainContentComponent::showVersionStatus (int status)
{
    versionStatus = status;

    // Statuses 1 and 2 look the same.
    if (showsNewVersionLink (versionStatus))
    {
        versionLabel->setJustificationType (juce::Justification::right);
        newVersionLink->setColour (juce::HyperlinkButton::textColourId, juce::Colours::red);
        newVersionLink->setFont (juce::Font (versionFontHeight, juce::Font::underlined), false,
                                 juce::Justification::left);
        addAndMakeVisible (*newVersionLink);
    }

    layoutVersionLine();
}

void MainContentComponent::layoutVersionLine()
{
    const int w = getWidth();
    const int h = getHeight();

    if (showsNewVersionLink (versionStatus))
    {
        versionLabel->setBounds (0, h - 16, w / 2, 10);
        newVersionLink->setBounds (w / 2, h - 18, w, 14);
        newVersionLink->changeWidthToFitText();
    }
    else
    {
        versionLabel->setBounds (0, h - 16, w, 14);
    }
}
