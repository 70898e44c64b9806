#include "shell/WindowDevicePrompts.h"
#include "shell/DiagramDevice.h"
#include "shell/ProgramDialog.h"

WindowDevicePrompts::WindowDevicePrompts (ChoosePassword choosePasswordInMainWindow)
    : chooseInMainWindow (std::move (choosePasswordInMainWindow))
{
}

std::optional<juce::String> WindowDevicePrompts::choosePassword()
{
    return chooseInMainWindow();
}

std::optional<juce::String> WindowDevicePrompts::enterPassword (DiagramDevice& box)
{
    return box.askPassword();
}

bool WindowDevicePrompts::confirmProgrammingDone()
{
    return ProgramDialog::runModal() != 0;
}
