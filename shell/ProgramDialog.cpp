#include "shell/ProgramDialog.h"
#include "look/ColourScheme.h"
#include "shell/ProgramDialogWindow.h"

ProgramDialog::ProgramDialog()
{
    okButton = std::make_unique<iosButton> ("OK");
    syncToggle = std::make_unique<juce::ToggleButton>();

    addAndMakeVisible (*okButton);
    addAndMakeVisible (*syncToggle);
    okButton->addListener (this);
    syncToggle->addListener (this);

    okButton->addShortcut (juce::KeyPress (juce::KeyPress::returnKey));
    syncToggle->addShortcut (juce::KeyPress (juce::KeyPress::spaceKey));
    syncToggle->setWantsKeyboardFocus (false);

    setSize (dialogWidth, dialogHeight);
}

ProgramDialog::~ProgramDialog()
{
    syncToggle.reset();
    okButton.reset();
}

int ProgramDialog::runModal()
{
    ProgramDialog dialog;

    const auto window = createProgramDialogWindow ("Programming Done", dialog, true);
    return window->runModalLoop();
}

void ProgramDialog::buttonClicked (juce::Button* button)
{
    // The toggle only changes itself.
    if (button != okButton.get())
        return;

    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (syncToggle->getToggleState() ? 1 : 0);
}

void ProgramDialog::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const int buttonHeight = buttonArea.getHeight();

    barArea = { 0, h - 2 * marginY - buttonHeight, w, buttonHeight + 2 * marginY };
    buttonArea.setPosition (w - buttonArea.getWidth() - marginX, barArea.getY() + marginY);
    okButton->setBounds (buttonArea);

    // The icon stands partly outside the upper right corner and is clipped there.
    iconArea.setPosition (w - (int)(iconArea.getWidth() * 0.9), (int)(iconArea.getHeight() * -0.1));

    titleArea = { marginX, marginY, w - 2 * marginX, 18 };
    textArea = { marginX, marginY + 20, w - 2 * marginX, 60 };

    const int toggleTop = marginY + 20 + 55;
    syncToggle->setBounds (marginX - 3, toggleTop - 3, 20, 20);
    toggleTitleArea = { marginX + 20, toggleTop, w - 2 * marginX - 20, 18 };
    toggleTextArea = { marginX, toggleTop + 18, w - 2 * marginX, 60 };
}

void ProgramDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    const auto background = findColour (juce::ResizableWindow::backgroundColourId);
    g.setGradientFill (juce::ColourGradient (background.brighter (0.4f), 0.0f, (float)barArea.getY(),
                                             background.darker (0.4f), 0.0f, (float)getHeight(), false));
    g.fillRect (barArea);
    g.setColour (background);
    g.drawHorizontalLine (barArea.getY(), 0.0f, (float)getWidth());

    g.setColour (findColour (accentColourId).withAlpha (0.3f));
    g.fillRoundedRectangle (iconArea.toFloat(), 5.0f);
    g.setFont (juce::Font ((float)iconArea.getHeight() * 0.9f, juce::Font::bold));
    g.drawText ("i", iconArea, juce::Justification::centred, false);

    g.setColour (juce::Colours::black);
    g.setFont (juce::Font (16.0f, juce::Font::bold));
    g.drawFittedText ("Programming Done", titleArea, juce::Justification::topLeft, 1, 0.7f);

    g.setFont (juce::Font (14.0f, juce::Font::plain));
    g.drawFittedText ("The connected ZELTA amplifier has now \nbeen programmed with the settings for the "
                      "selected amp.",
                      textArea, juce::Justification::topLeft, 4, 0.7f);

    g.setFont (juce::Font (14.0f, juce::Font::bold));
    g.drawFittedText ("Enable Synchronization", toggleTitleArea, juce::Justification::topLeft, 1, 0.7f);

    g.setFont (juce::Font (14.0f, juce::Font::plain));
    g.drawFittedText (
        "This will keep the device automatically synchronized. \nAny changed made to the "
        "selected amplifier will \nimmediately be programmed to the connected \nZELTA amplifier.",
        toggleTextArea, juce::Justification::topLeft, 4, 0.7f);
}
