#include "shell/SaveFileDialog.h"

#include "document/SavedFileFormat.h"
#include "document/SettingsDocument.h"
#include "document/ApplicationsFolder.h"
#include "document/SavedFileWriter.h"

SaveFileDialog::SaveFileDialog (juce::XmlElement& applicationToSave, int revisionToWrite,
                                UserInteraction& interactionToUse, const juce::File& folder)
    : application (applicationToSave), revision (revisionToWrite), interaction (interactionToUse),
      applicationsFolder (folder)
{
    for (auto* button : { &saveButton, &cancelButton })
    {
        addAndMakeVisible (button);
        button->addListener (this);
    }

    saveButton.addShortcut (juce::KeyPress (juce::KeyPress::returnKey));

    for (auto* caption : { &titleCaption, &authorCaption, &descriptionCaption })
        addAndMakeVisible (caption);

    const auto background = findColour (juce::ResizableWindow::backgroundColourId);

    for (auto* edit : { &titleEdit, &authorEdit })
    {
        edit->setEditable (true, false, false);
        edit->setColour (juce::Label::outlineColourId, background);
        addAndMakeVisible (edit);
    }

    descriptionEdit.setMultiLine (true, true);
    descriptionEdit.setReturnKeyStartsNewLine (true);
    descriptionEdit.setPasswordCharacter (0);
    addAndMakeVisible (descriptionEdit);

    setSize (400, 400);
    fillFieldsFromDocument();
}

SaveFileDialog::~SaveFileDialog()
{
    saveButton.removeListener (this);
    cancelButton.removeListener (this);
}

void SaveFileDialog::fillFieldsFromDocument()
{
    if (auto* title = application.getChildByName ("Title"))
        titleEdit.setText (title->getAllSubText(), juce::dontSendNotification);

    if (auto* author = application.getChildByName ("Author"))
        authorEdit.setText (author->getAllSubText(), juce::dontSendNotification);

    if (auto* description = application.getChildByName ("Description"))
        descriptionEdit.setText (description->getAllSubText(), false);
}

void SaveFileDialog::buttonClicked (juce::Button* button)
{
    if (button == &saveButton)
    {
        lastOutcome = save();

        if (lastOutcome == Outcome::saved)
            closeWindow (1);
    }
    else if (button == &cancelButton)
    {
        lastOutcome = Outcome::cancelled;
        closeWindow (0);
    }
}

SaveFileDialog::Outcome SaveFileDialog::save()
{
    // Read before the chooser opens: the key is let go while the user types a name.
    const bool plainText = interaction.isKeyCurrentlyDown (juce::KeyPress::F8Key);

    const auto proposed =
        proposeFileForTitle (applicationsFolder, titleEdit.getText (true), applicationFileExtension);
    auto chosen = interaction.chooseFileToSave ("Save file as...", proposed,
                                                juce::String ("*.") + applicationFileExtension, true);

    if (!chosen.has_value() || *chosen == juce::File())
        return Outcome::noFileChosen;

    // The texts stay in the document even when writing fails.
    setApplicationTitle (application, titleEdit.getText (true));
    setApplicationAuthor (application, authorEdit.getText (true));
    setApplicationDescription (application, descriptionEdit.getText());
    setSvnRevision (application, revision);

    auto target = *chosen;

    if (target.getFileExtension().isEmpty())
        target = target.withFileExtension (applicationFileExtension);

    const auto result = writeDocumentFile (application, target, plainText);
    Outcome outcome = Outcome::saved;

    switch (result)
    {
        case FileWriteResult::written:
            savedFile = target;
            return Outcome::saved;
        case FileWriteResult::cannotOpenTemporary:
            outcome = Outcome::cannotOpenTemporary;
            break;
        case FileWriteResult::writeFailed:
            outcome = Outcome::writeFailed;
            break;
        case FileWriteResult::replaceFailed:
            outcome = Outcome::replaceFailed;
            break;
    }

    interaction.showMessage (UserInteraction::Icon::warning, "Save failed",
                             describeWriteFailure (result, target));
    return outcome;
}

void SaveFileDialog::closeWindow (int result)
{
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState (result);
}

void SaveFileDialog::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    const auto background = findColour (juce::ResizableWindow::backgroundColourId);
    g.setGradientFill (juce::ColourGradient (background.brighter (0.4f), 0.0f, (float)buttonStrip.getY(),
                                             background.darker (0.4f), 0.0f, (float)getHeight(), false));
    g.fillRect (buttonStrip);

    g.setColour (background);
    g.drawHorizontalLine (buttonStrip.getY(), 0.0f, (float)getWidth());
}

void SaveFileDialog::resized()
{
    const int w = getWidth();
    const int h = getHeight();
    const int stripHeight = buttonHeight + 2 * verticalMargin;

    buttonStrip = { 0, h - stripHeight, w, stripHeight };

    cancelButton.setBounds (horizontalMargin, h - stripHeight + verticalMargin, buttonWidth, buttonHeight);
    saveButton.setBounds (w - buttonWidth - horizontalMargin, h - stripHeight + verticalMargin, buttonWidth,
                          buttonHeight);

    const int fieldWidth = w - 2 * horizontalMargin;
    titleCaption.setBounds (horizontalMargin, 15, fieldWidth, fieldHeight);
    titleEdit.setBounds (horizontalMargin, 35, fieldWidth, fieldHeight);
    authorCaption.setBounds (horizontalMargin, 70, fieldWidth, fieldHeight);
    authorEdit.setBounds (horizontalMargin, 90, fieldWidth, fieldHeight);
    descriptionCaption.setBounds (horizontalMargin, 125, fieldWidth, fieldHeight);

    // Ends one margin above the button strip; its top moves up to that line when
    // the window is too small.
    const int descriptionTop = 145;
    const int descriptionBottom = buttonStrip.getY() - verticalMargin;
    descriptionEdit.setBounds (horizontalMargin, juce::jmin (descriptionTop, descriptionBottom), fieldWidth,
                               juce::jmax (0, descriptionBottom - descriptionTop));
}
