#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "document/PresetLibrary.h"
#include "link/VantorelCom.h"
#include "shell/AmplifierIdentity.h"
#include "shell/ApplicationListEntry.h"
#include "shell/DevicePrompts.h"
#include "shell/DeviceSynchroniser.h"
#include "shell/DiagramView.h"
#include "shell/PasswordComponent.h"
#include "shell/SetupArea.h"
#include "shell/StatusDisplay.h"
#include "platform/UserInteraction.h"
#include "look/iosButton.h"
#include "updates/VersionCheck.h"

class ProgramRoad;
class ReadbackRoad;
class SaveFileDialog;

// The whole face of the program, the content of the main window: the application
// list on the left, the device diagram in its viewport, the setup area on the
// right and the bottom strip with the Save button, the logo, the device status,
// the Program button and the version line. It owns the working copy of the open
// application and everything built from it.
class MainContentComponent : public juce::Component,
                             public juce::Button::Listener,
                             public SetupTabSelector::Listener,
                             public DiagramView::Listener,
                             public SetupComponent::Listener,
                             public juce::ActionListener,
                             public PasswordComponent::Listener,
                             public juce::ListBoxModel,
                             public juce::Timer,
                             public juce::Thread,
                             private StatusDisplay::Host
{
public:
    // What tests put in place of the user, the Documents folder, the version
    // service and the amplifier.
    struct Services
    {
        UserInteraction& interaction;
        juce::File documentsFolder;
        VersionEndpoint versionEndpoint;
        VantorelCom* link = nullptr; // null: the program's shared link
        DiagramView::FamilyMenu familyMenu = DiagramView::showFamilyMenu;
        DevicePrompts* prompts = nullptr; // null: the program's password and programming windows
    };

    static constexpr int rowHeight = 46;
    static constexpr int margin = 15;
    static constexpr int buttonWidth = 120;
    static constexpr int buttonHeight = 30;
    static constexpr int statusWidth = 240;
    static constexpr int setupWidth = 340;
    static constexpr int tabSelectorHeight = 155;
    static constexpr int timerIntervalMs = 500;
    static constexpr const char* productWebPage = "https://www.vantorel.example/download";

    // The program's own: the real user, Documents folder, version service and link.
    MainContentComponent();
    explicit MainContentComponent (const Services& services);
    ~MainContentComponent() override;

    // The close-time save offer. False when the user wanted to save and no file
    // was written: the window must then stay open so that nothing is lost.
    bool prepareToClose();

    // Full: the files of the applications folder, then the examples. Incremental:
    // files changed on disk are read again and new files go to the top.
    void rescanApplications (bool incremental);
    // Raises the modified flag when a page or the diagram has changes; it is
    // cleared only by opening an application and by a successful save.
    void updateModifiedFlag();
    bool isModified() const { return modified; }
    void setSyncEnabled (bool on) override;
    bool isSyncEnabled() const override { return synchroniser->isEnabled(); }
    // Whether a setup page changed since the last call; asks and so clears every page.
    bool hasPendingPageChanges();
    // Marks on the MATRIX page the outputs that the GPI source selectors switch.
    void refreshGpiMatrixState();

    // 3 (no answer) until the version service has answered.
    int getVersionStatus() const { return versionStatus; }
    bool isVersionCheckRunning() const;
    bool hasNewerFiles() const { return newerFilesFound; }
    juce::File getApplicationsFolder() const;

    int getNumEntries() const { return entries.size(); }
    ApplicationListEntry* getEntry (int index) const { return entries[index]; }
    // The row of the open application, -1 before the first opening.
    int getSelectedRow() const;
    juce::XmlElement* getWorkingCopy() const { return workingCopy.get(); }
    DiagramView* getDiagram() const { return diagram.get(); }
    juce::ListBox& getListBox() { return *listBox; }
    juce::Viewport& getViewport() { return *viewport; }
    juce::Button& getSaveButton() { return *saveButton; }
    juce::Button& getProgramButton() { return *programButton; }
    juce::Label& getStatusLabel() { return *statusLabel; }
    juce::Label& getVersionLabel() { return *versionLabel; }
    juce::HyperlinkButton& getNewVersionLink() { return *newVersionLink; }
    // The places of the setup tab selector and of the current setup page.
    juce::Rectangle<int> getTabSelectorArea() const { return tabSelectorArea; }
    juce::Rectangle<int> getPageArea() const { return pageArea; }
    juce::Rectangle<int> getBottomStrip() const { return bottomStrip; }
    SetupArea& getSetupArea() { return *setupArea; }

    void paint (juce::Graphics&) override;
    void resized() override;
    // Only CTRL + SHIFT + F7 is used; every key goes on to the parents.
    bool keyPressed (const juce::KeyPress&) override;

    void buttonClicked (juce::Button*) override;
    void setupTabChanged (SetupTabSelector&) override;
    void diagramSelectionChanged (DiagramView&) override;
    void deviceReadbackRequested (DiagramView&, DiagramDevice&) override;
    void devicePadlockChanged (DiagramView&, DiagramDevice&) override;
    void setupComponentChanged (SetupComponent& page) override;

    // A password typed into the "Choose password" dialog.
    void actionListenerCallback (const juce::String& message) override;
    // Escape in the "Choose password" dialog.
    void passwordEntryCancelled (PasswordComponent&) override;

    int getNumRows() override;
    void paintListBoxItem (int rowNumber, juce::Graphics&, int width, int height,
                           bool rowIsSelected) override;
    void selectedRowsChanged (int lastRowSelected) override;
    void deleteKeyPressed (int lastRowSelected) override;

    void timerCallback() override;
    // One synchronisation pass.
    void run() override;
    // Shows the firmware update wizard modally; returns when it is closed.
    void launchFirmwareUpdate();
    const StatusDisplay& getStatusDisplay() const { return *statusDisplay; }

protected:
    // Shows the Save dialog modally and gives its result (1: the file was written).
    virtual int runSaveDialog (SaveFileDialog& dialog);

private:
    MainContentComponent (std::unique_ptr<UserInteraction> ownInteraction,
                          UserInteraction* externalInteraction, const juce::File& documentsFolder,
                          const VersionEndpoint& versionEndpoint, VantorelCom* externalLink,
                          DiagramView::FamilyMenu familyMenu, DevicePrompts* externalPrompts);

    void openEntry (ApplicationListEntry& entry);
    void rebuildDiagram (bool forceSelection);
    void showConversionNotice (ApplicationListEntry& entry);
    // The Save dialog for the working copy; the file written, or none.
    juce::File runSaveRoad();
    // Brings the list up to date after a save; the entry of the saved file, if listed.
    ApplicationListEntry* takeSavedFile (const juce::File& savedFile);
    // The Save button's road: save, then open the saved entry. True when a file was written.
    bool saveAndReopen();
    void selectRowQuietly (int row);
    void refreshList();
    void runDeviceSelfTest();
    juce::DialogWindow& getPasswordDialog();
    void layoutVersionLine();
    void showVersionStatus (int status);

    // The status display of the connected amplifier, the Program and get-settings
    // buttons, the firmware check and the start of synchronisation passes; runs
    // at every tick.
    void onStatusTick();
    // The Program button: programs the selected device, or switches
    // synchronisation off, or opens the firmware update.
    void programButtonClicked();
    std::optional<juce::String> choosePassword();

    DiagramDevice* getSelectedDeviceBox() override;
    bool isSynchronisationRunning() override { return synchroniser->isPassRunning(); }
    // Starts a synchronisation pass of the "Program Thread" when one is due; runs at every tick
    // with the amplifier connected, after the status display.
    void synchronisationTick() override;
    // Builds the four setup pages of the selected device (hidden, the current one
    // shown in the page area) and registers for their changes.
    void rebuildSetupPages();
    // Deletes the setup pages, which point into the working copy.
    void deleteSetupPages();
    // Whether any setup page holds changes not saved yet; every page is asked.
    bool anySetupPageModified();

    std::unique_ptr<UserInteraction> ownInteraction;
    UserInteraction& interaction;
    const juce::File documentsFolder;
    const DiagramView::FamilyMenu familyMenu;

    // The version service is asked on its own thread: the framework's web requests
    // spend at least 100 ms even on a machine without network, and up to the
    // service's time-out on a bad one, which would otherwise all come before the
    // window shows. The answer comes back through the message loop.
    class VersionCheckThread;
    std::unique_ptr<VersionCheckThread> versionCheckThread;
    int versionStatus = VersionCheck::noAnswer;

    std::unique_ptr<juce::SharedResourcePointer<VantorelCom>> sharedLink;
    VantorelCom& link;
    juce::SharedResourcePointer<PresetLibrary> presets;

    // The device roads use the link: they go before it.
    // Its reader thread ends with it, before the link goes.
    std::unique_ptr<AmplifierIdentity> identity;
    std::unique_ptr<DevicePrompts> ownPrompts;
    DevicePrompts& prompts;
    std::unique_ptr<DeviceSynchroniser> synchroniser;
    std::unique_ptr<ProgramRoad> programRoad;
    std::unique_ptr<ReadbackRoad> readbackRoad;

    std::unique_ptr<iosButton> saveButton, programButton;
    std::unique_ptr<juce::Label> statusLabel, versionLabel;
    std::unique_ptr<juce::HyperlinkButton> newVersionLink;
    std::unique_ptr<DiagramView> diagram;
    std::unique_ptr<juce::Viewport> viewport;
    std::unique_ptr<PasswordComponent> passwordEntry;
    // The tab selector and the pages; the pages point into the working copy.
    std::unique_ptr<SetupArea> setupArea;
    std::unique_ptr<juce::XmlElement> workingCopy;
    std::unique_ptr<juce::ListBox> listBox;
    juce::OwnedArray<ApplicationListEntry> entries;
    std::unique_ptr<juce::DialogWindow> passwordDialog;
    // Follows the amplifier with the status label and the Program button: after them.
    std::unique_ptr<StatusDisplay> statusDisplay;
    ApplicationListEntry* openedEntry = nullptr;

    juce::Rectangle<int> bottomStrip, listArea, diagramArea, tabSelectorArea, pageArea;
    juce::SharedResourcePointer<juce::TooltipWindow> tooltipWindow;
    juce::Image logo;

    // Kept across diagrams: the description panel stays shown or hidden when the
    // next application is opened.
    bool descriptionShown = false;
    bool modified = false;
    bool newerFilesFound = false;
    bool noticePending = true;
    // Set while the list selection is moved by the program, not by the user.
    bool selectingQuietly = false;
    juce::String passwordText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainContentComponent)
};
