#include "platform/DialogWindowAround.h"

namespace
{
float scaleAround (const juce::Component* component)
{
    return component != nullptr ? juce::Component::getApproximateScaleFactorForComponent (component) : 1.0f;
}
} // namespace

DialogWindowAround::DialogWindowAround (const juce::DialogWindow::LaunchOptions& options)
    : juce::DialogWindow (options.dialogTitle, options.dialogBackgroundColour,
                          options.escapeKeyTriggersCloseButton, false, scaleAround (options.componentToCentreAround))
{
    setUsingNativeTitleBar (options.useNativeTitleBar);
    setResizable (options.resizable, options.useBottomRightCornerResizer);
}

void DialogWindowAround::closeButtonPressed()
{
    setVisible (false);
}

std::unique_ptr<juce::DialogWindow>
createDialogWindowAround (juce::Component& content, const juce::DialogWindow::LaunchOptions& options,
                          const std::function<void (juce::DialogWindow&)>& decorate)
{
    auto window = std::make_unique<DialogWindowAround> (options);
    window->setContentNonOwned (&content, true);

    if (decorate)
        decorate (*window);

    window->centreAroundComponent (options.componentToCentreAround, window->getWidth(), window->getHeight());
    window->addToDesktop();
    return window;
}
