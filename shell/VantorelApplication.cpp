#include "shell/VantorelApplication.h"

#include "document/ProgramRevision.h"
#include "look/ColourScheme.h"
#include "shell/MainContentComponent.h"

namespace
{
// The code of an open modal window (a dialog, a message box, the wizard, a call-out) still runs
// further down this thread's stack and uses the boxes, pages and working copy that the close road
// may save and rebuild; a quit would end its loop under it. While one is open, a request to close
// or quit only shows it; the save offer comes when the window is closed afterwards.
bool showOpenModalWindow()
{
    auto& modalComponents = *juce::ModalComponentManager::getInstance();

    if (modalComponents.getNumModalComponents() == 0)
        return false;

    modalComponents.bringModalComponentsToFront (true);
    return true;
}
} // namespace

VantorelApplication::MainWindow::MainWindow (const juce::String& name,
                                             std::unique_ptr<MainContentComponent> content)
    : juce::DocumentWindow (
          name,
          juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
          juce::DocumentWindow::allButtons, false)
{
    setOpaque (true);
    setResizable (true, false);
    // The content is kept between 1024 x 600 and 1920 x 1080, whatever frame surrounds it.
    setConstrainer (&sizeLimits);
    setUsingNativeTitleBar (true);
    setDropShadowEnabled (true);
    addToDesktop (getDesktopWindowStyleFlags());
    // The content has set itself to 1024 x 600; the window takes that size.
    setContentOwned (content.release(), true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

void VantorelApplication::MainWindow::closeButtonPressed()
{
    // The native title bar reaches here during every modal loop.
    if (showOpenModalWindow())
        return;

    if (auto* content = getMainContent())
        if (!content->prepareToClose())
            return;

    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

MainContentComponent* VantorelApplication::MainWindow::getMainContent() const
{
    return dynamic_cast<MainContentComponent*> (getContentComponent());
}

void VantorelApplication::MainWindow::resized()
{
    juce::DocumentWindow::resized();
    keepContentWithinLimits();
}

void VantorelApplication::MainWindow::moved()
{
    juce::DocumentWindow::moved();
    keepContentWithinLimits();
}

void VantorelApplication::MainWindow::keepContentWithinLimits()
{
    auto* peer = getPeer();

    if (peer == nullptr || isMinimised())
        return;

    const auto frame = peer->getFrameSizeIfPresent();
    sizeLimits.setBorders (getContentComponentBorder(), frame ? *frame : juce::BorderSize<int>());
    const auto bounds = getBounds();
    const auto wanted = sizeLimits.constrainWindowBounds (bounds);

    if (wanted != bounds)
        setBounds (wanted);
}

VantorelApplication::VantorelApplication()
    : presetLibraryLoader (
          [this]
          {
              auto library = std::make_unique<juce::SharedResourcePointer<PresetLibrary>>();
              // The pages of the first device ask for the presets at once.
              library->getObject().parseAllCategories();
              presetLibrary = std::move (library);
          })
{
}

VantorelApplication::~VantorelApplication()
{
    mainWindow = nullptr;

    if (presetLibraryLoader.joinable())
        presetLibraryLoader.join();
}

const juce::String VantorelApplication::getApplicationName()
{
    return "Vantorel";
}

const juce::String VantorelApplication::getApplicationVersion()
{
    return programVersion;
}

bool VantorelApplication::moreThanOneInstanceAllowed()
{
    return false;
}

void VantorelApplication::initialise (const juce::String&)
{
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    applyColourScheme (lookAndFeel);

    if (presetLibraryLoader.joinable())
        presetLibraryLoader.join();

    mainWindow = std::make_unique<MainWindow> (getApplicationName(), createMainContent());
}

std::unique_ptr<MainContentComponent> VantorelApplication::createMainContent()
{
    return std::make_unique<MainContentComponent>();
}

void VantorelApplication::systemRequestedQuit()
{
    if (!showOpenModalWindow())
        quit();
}

void VantorelApplication::shutdown()
{
    mainWindow = nullptr;
    presetLibrary = nullptr;
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
