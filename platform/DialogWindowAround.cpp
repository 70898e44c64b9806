#include "platform/DialogWindowAround.h"

std::unique_ptr<juce::DialogWindow>
createDialogWindowAround (juce::Component& content, juce::DialogWindow::LaunchOptions& options,
                          const std::function<void (juce::DialogWindow&)>& decorate)
{
    const auto given = content.getBounds();
    options.content.setNonOwned (&content);

    std::unique_ptr<juce::DialogWindow> window (options.create());

    if (decorate)
        decorate (*window);

    const auto centre = window->getBounds().getCentre();
    window->setContentComponentSize (given.getWidth(), given.getHeight());
    window->setCentrePosition (centre);
    return window;
}
