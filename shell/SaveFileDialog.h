#pragma once

#include "platform/UserInteraction.h"
#include "look/iosButton.h"

// The content of the modal "Save File" window: edits the application's title,
// author and description, asks for the file name and writes the application
// file. Its window ends with 1 when the file was written, 0 on Cancel.
class SaveFileDialog : public juce::Component, public juce::Button::Listener
{
public:
    // What the last press of Save or Cancel came to.
    enum class Outcome
    {
        none = 0,
        saved,
        cancelled,           // the Cancel button
        noFileChosen,        // the file chooser was cancelled; the dialog stays open
        cannotOpenTemporary, // told to the user; the dialog stays open
        writeFailed,         // told to the user; the dialog stays open
        replaceFailed        // told to the user; the old file is kept; the dialog stays open
    };

    // `application` is the caller's working copy; the texts and the revision are
    // written into it when the user saves. The file chooser starts in
    // `applicationsFolder`.
    SaveFileDialog (juce::XmlElement& application, int revision, UserInteraction& interaction,
                    const juce::File& applicationsFolder);
    ~SaveFileDialog() override;

    void fillFieldsFromDocument();

    void buttonClicked (juce::Button*) override;
    void paint (juce::Graphics&) override;
    void resized() override;

    Outcome getLastOutcome() const { return lastOutcome; }
    // The file written by the last successful save.
    const juce::File& getSavedFile() const { return savedFile; }

private:
    Outcome save();
    void closeWindow (int result);

    static constexpr int fieldHeight = 20;
    static constexpr int horizontalMargin = 15;
    static constexpr int verticalMargin = 15;
    static constexpr int buttonWidth = 120;
    static constexpr int buttonHeight = 30;

    juce::XmlElement& application;
    const int revision;
    UserInteraction& interaction;
    const juce::File applicationsFolder;

    juce::Rectangle<int> buttonStrip;

    iosButton saveButton{ "Save" };
    iosButton cancelButton{ "Cancel" };
    juce::Label titleCaption{ "TitleLabel", "Title" };
    juce::Label authorCaption{ "AuthorLabel", "Author" };
    juce::Label descriptionCaption{ "DescLabel", "Description" };
    juce::Label titleEdit{ "TitleEdit", "Specify title here" };
    juce::Label authorEdit{ "AuthorEdit", "Specify author here" };
    juce::TextEditor descriptionEdit{ "DescEdit" };

    Outcome lastOutcome = Outcome::none;
    juce::File savedFile;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SaveFileDialog)
};
