#pragma once

#include "document/DeviceFamily.h"
#include "document/PresetLibrary.h"
#include "editors/SetupComponent.h"
#include "editors/SetupTabSelector.h"

class UserInteraction;

// The right-hand column of the main window: the tab selector and the four setup
// pages of the selected device (INPUTS, MATRIX, OUTPUTS, CONTROL), one shown at a
// time. The pages are built anew for every device selection and point into the
// working application, so they are deleted before any element they edit. The
// chosen tab survives the rebuild. The MATRIX page is kept told which outputs
// the CONTROL page's GPI source selectors switch.
//
// Pages and the tab selector are children of the given parent; the parent's
// listeners hear of tab choices and page changes and hand them back here.
// Message thread only.
class SetupArea
{
public:
    enum PageIndex
    {
        inputsPage = SetupTabSelector::inputsTab,
        matrixPage = SetupTabSelector::matrixTab,
        outputsPage = SetupTabSelector::outputsTab,
        controlPage = SetupTabSelector::controlTab,
        numPages = SetupTabSelector::numTabs
    };

    // The library and the user must outlive the area; the listeners are
    // registered with the tab selector and with every page built. EQ preset files
    // are kept under the Documents folder.
    SetupArea (juce::Component& parent, const PresetLibrary& presets, UserInteraction& user,
               const juce::File& documentsFolder, SetupTabSelector::Listener& tabListener,
               SetupComponent::Listener& pageListener);
    ~SetupArea();

    // Builds the pages of the device, in page order, without showing them.
    void createPages (juce::XmlElement& device, const DeviceFamily& family);
    // Adds the built pages as hidden children, shows the page of the chosen tab,
    // draws the family's channels in the tab selector and applies the GPI state.
    void showPages();
    void deletePages();

    // Every page is asked, in page order, and so every flag is cleared.
    bool hasPendingPageChanges();
    // Every page is asked.
    bool anyPageModified();

    // The tab selector chose another tab: shows its page.
    void tabChanged();
    // A page reported a change: the CONTROL page's changes reach the MATRIX page.
    void pageChanged (SetupComponent& sender);
    // Marks on the MATRIX page the outputs that GPI source selectors switch, or
    // hands the whole matrix to the GPIs when they switch every output.
    void refreshGpiMatrixState();

    void setBounds (juce::Rectangle<int> tabSelectorArea, juce::Rectangle<int> pageArea);

    // The Device element the pages edit; null when no pages are built.
    juce::XmlElement* getDevice() const noexcept { return device; }

    SetupTabSelector& getTabSelector() noexcept { return tabSelector; }
    int getNumPages() const noexcept { return pages.size(); }
    // Null when no pages are built.
    SetupComponent* getPage (int index) const noexcept { return pages[index]; }
    int getCurrentPageIndex() const noexcept { return currentPage; }
    SetupComponent* getCurrentPage() const noexcept { return pages[currentPage]; }

private:
    juce::Component& parent;
    const PresetLibrary& presets;
    UserInteraction& user;
    const juce::File documentsFolder;
    SetupComponent::Listener& pageListener;
    SetupTabSelector tabSelector;
    // In page order; deleted last first.
    juce::OwnedArray<SetupComponent> pages;
    int currentPage = inputsPage;
    juce::XmlElement* device = nullptr;
    DeviceFamily family;
    juce::Rectangle<int> pageBounds;

    JUCE_DECLARE_NON_COPYABLE (SetupArea)
};
