#include "shell/SetupArea.h"

#include "editors/ControlComponent.h"
#include "editors/InputComponent.h"
#include "editors/MatrixComponent.h"
#include "editors/OutputComponent.h"

SetupArea::SetupArea (juce::Component& parentComponent, const PresetLibrary& presetLibrary,
                      UserInteraction& userToAsk, const juce::File& documents,
                      SetupTabSelector::Listener& tabListener, SetupComponent::Listener& listener)
    : parent (parentComponent), presets (presetLibrary), user (userToAsk), documentsFolder (documents),
      pageListener (listener)
{
    parent.addAndMakeVisible (tabSelector);
    tabSelector.addListener (&tabListener);
}

SetupArea::~SetupArea()
{
    deletePages();
    parent.removeChildComponent (&tabSelector);
}

void SetupArea::createPages (juce::XmlElement& deviceToEdit, const DeviceFamily& familyRow)
{
    deletePages();
    family = familyRow;
    device = &deviceToEdit;

    pages.add (new InputComponent (deviceToEdit, presets, family, user, documentsFolder));
    pages.add (new MatrixComponent (&deviceToEdit, &presets, family, 0, MatrixComponent::noPresetId));
    pages.add (new OutputComponent (deviceToEdit, presets, family, user, documentsFolder));

    auto control = std::make_unique<ControlComponent> (&deviceToEdit, &presets, family);
    control->setUserInteraction (user);
    pages.add (control.release());
}

void SetupArea::showPages()
{
    for (auto* page : pages)
    {
        parent.addChildComponent (page);
        page->addListener (&pageListener);
    }

    if (auto* page = getCurrentPage())
    {
        page->setBounds (pageBounds);
        page->setVisible (true);
    }

    tabSelector.setChannelCounts (family.inputs, family.outputs);
    refreshGpiMatrixState();
}

void SetupArea::deletePages()
{
    pages.clear();
    device = nullptr;
}

bool SetupArea::hasPendingPageChanges()
{
    bool pending = false;

    for (auto* page : pages)
        pending = page->consumeChangeFlag() || pending;

    return pending;
}

bool SetupArea::anyPageModified()
{
    bool modified = false;

    for (auto* page : pages)
        modified = page->isModified() || modified;

    return modified;
}

void SetupArea::tabChanged()
{
    if (auto* page = getCurrentPage())
        page->setVisible (false);

    const int tab = tabSelector.getSelectedTab();

    if (juce::isPositiveAndBelow (tab, (int)numPages))
        currentPage = tab;

    if (tab == matrixPage)
        refreshGpiMatrixState();

    if (auto* page = getCurrentPage())
    {
        page->setBounds (pageBounds);
        page->setVisible (true);
    }
}

void SetupArea::pageChanged (SetupComponent& sender)
{
    if (&sender == getPage (controlPage))
        refreshGpiMatrixState();
}

void SetupArea::refreshGpiMatrixState()
{
    auto* matrix = dynamic_cast<MatrixComponent*> (getPage (matrixPage));
    auto* control = dynamic_cast<ControlComponent*> (getPage (controlPage));

    if (matrix == nullptr || control == nullptr)
        return;

    const auto switched = control->getSourceSelectorInputMask();

    if (switched == (juce::uint8)family.getOutputMask())
    {
        matrix->setControlledByGpi (true);
        return;
    }

    matrix->setControlledByGpi (false);
    matrix->applyGpiInputMask ((juce::uint8) (~switched & 0xff));
}

void SetupArea::setBounds (juce::Rectangle<int> tabSelectorArea, juce::Rectangle<int> pageArea)
{
    tabSelector.setBounds (tabSelectorArea);
    pageBounds = pageArea;

    if (auto* page = getCurrentPage())
        page->setBounds (pageBounds);
}
