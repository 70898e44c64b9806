#include <gtest/gtest.h>

#include "shell/ProgramDialog.h"

namespace
{
// Runs the dialog in a modal window and gives the window's result once it has ended.
int resultOf (ProgramDialog& dialog, const std::function<void()>& userAction)
{
    // Kept off the desktop: a bare X server lacks the window manager's atoms.
    auto window =
        std::make_unique<juce::DialogWindow> ("Programming Done", juce::Colours::lightgrey, true, false);
    window->setContentNonOwned (&dialog, true);

    int result = -1;
    window->enterModalState (false, juce::ModalCallbackFunction::create ([&result] (int r) { result = r; }));
    userAction();
    for (int i = 0; i < 2000 && result < 0; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    window->clearContentComponent();
    return result;
}
} // namespace

TEST (ProgramDialogTest, OkGivesTheSynchronisationChoice)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ProgramDialog dialog;
    EXPECT_TRUE (dialog.getOkButton().isRegisteredForShortcut (juce::KeyPress (juce::KeyPress::returnKey)));
    EXPECT_TRUE (dialog.getSyncToggle().isRegisteredForShortcut (juce::KeyPress (juce::KeyPress::spaceKey)));
    EXPECT_FALSE (dialog.getSyncToggle().getWantsKeyboardFocus());

    EXPECT_EQ (resultOf (dialog, [&] { dialog.buttonClicked (&dialog.getOkButton()); }), 0);

    EXPECT_EQ (resultOf (dialog,
                         [&]
                         {
                             dialog.getSyncToggle().setToggleState (true, juce::sendNotificationSync);
                             dialog.buttonClicked (&dialog.getSyncToggle());
                             dialog.buttonClicked (&dialog.getOkButton());
                         }),
               1);
}

TEST (ProgramDialogTest, OkOutsideADialogWindowDoesNothing)
{
    juce::ScopedJuceInitialiser_GUI gui;
    ProgramDialog dialog;
    dialog.buttonClicked (&dialog.getOkButton());
    EXPECT_FALSE (dialog.isCurrentlyModal());
}
