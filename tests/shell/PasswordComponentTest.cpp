#include <gtest/gtest.h>
#include "shell/PasswordComponent.h"
#include "tests/look/LookPaintHelpers.h"

namespace
{
class PasswordComponentTest : public ::testing::Test,
                              protected juce::ActionListener,
                              protected PasswordComponent::Listener
{
protected:
    PasswordComponentTest()
    {
        entry.addActionListener (this);
        entry.addListener (this);
        okButton = dynamic_cast<juce::Button*> (entry.getChildComponent (0));
        field = dynamic_cast<juce::TextEditor*> (entry.getChildComponent (1));
        showText = dynamic_cast<juce::ToggleButton*> (entry.getChildComponent (2));
    }
    ~PasswordComponentTest() override { entry.removeActionListener (this); }

    // Action messages arrive through the message loop; cancels arrive at once.
    juce::StringArray deliveredMessages()
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (30);
        return messages;
    }

    bool pressKey (int keyCode) { return entry.keyPressed (juce::KeyPress (keyCode), field); }

    juce::ScopedJuceInitialiser_GUI gui;
    PasswordComponent entry;
    juce::Button* okButton = nullptr;
    juce::TextEditor* field = nullptr;
    juce::ToggleButton* showText = nullptr;
    juce::StringArray messages;
    int cancels = 0;

private:
    void actionListenerCallback (const juce::String& message) override { messages.add (message); }
    void passwordEntryCancelled (PasswordComponent&) override { ++cancels; }
};

constexpr juce::juce_wchar bullet = 0x2022;
} // namespace

TEST_F (PasswordComponentTest, PartsAndLayout)
{
    ASSERT_TRUE (okButton != nullptr && field != nullptr && showText != nullptr);
    EXPECT_EQ (entry.getName(), "PasswordComponent");
    EXPECT_EQ (entry.getHeading(), "Enter password");
    EXPECT_EQ (okButton->getName() + "/" + okButton->getButtonText(), "OKButton/OK");
    EXPECT_TRUE (okButton->isRegisteredForShortcut (juce::KeyPress (juce::KeyPress::returnKey)));
    EXPECT_EQ (field->getName(), "PasswordTextfield");
    EXPECT_EQ (field->getPasswordCharacter(), bullet);
    EXPECT_FALSE (field->isMultiLine() || field->getReturnKeyStartsNewLine());
    EXPECT_EQ (showText->getButtonText(), "Show text");

    EXPECT_EQ (entry.getBounds(), juce::Rectangle<int> (0, 0, 360, 120));
    EXPECT_EQ (okButton->getBounds(), juce::Rectangle<int> (245, 80, 100, 25));
    EXPECT_EQ (field->getBounds(), juce::Rectangle<int> (15, 45, 330, 25));
    EXPECT_EQ (showText->getBounds(), juce::Rectangle<int> (12, 82, 100, 20));
}

TEST_F (PasswordComponentTest, ReturnAndOkSendTheTypedTextAndResetTheField)
{
    entry.buttonClicked (okButton);
    EXPECT_TRUE (pressKey (juce::KeyPress::returnKey));
    EXPECT_TRUE (deliveredMessages().isEmpty()) << "an empty field sends nothing";

    field->insertTextAtCaret ("s3cret");
    lookpaint::click (*showText);
    EXPECT_EQ (field->getPasswordCharacter(), 0) << "Show text shows the characters";
    EXPECT_TRUE (pressKey (juce::KeyPress::returnKey));
    EXPECT_TRUE (field->isEmpty());
    EXPECT_EQ (field->getPasswordCharacter(), bullet);
    EXPECT_FALSE (showText->getToggleState());

    field->insertTextAtCaret ("cancel"); // a typed "cancel" is a password like any other
    lookpaint::click (*okButton);
    EXPECT_EQ (deliveredMessages(), juce::StringArray ({ "s3cret", "cancel" }));
    EXPECT_EQ (cancels, 0);
}

TEST_F (PasswordComponentTest, EscapeIsACancelNeverAPassword)
{
    field->insertTextAtCaret ("half typed");
    EXPECT_TRUE (pressKey (juce::KeyPress::escapeKey));
    EXPECT_EQ (cancels, 1);
    EXPECT_EQ (field->getText(), "half typed");

    field->clear();
    pressKey (juce::KeyPress::escapeKey);
    EXPECT_EQ (cancels, 2) << "also with an empty field";
    EXPECT_TRUE (deliveredMessages().isEmpty());

    EXPECT_FALSE (entry.keyPressed (juce::KeyPress ('a', {}, 'a'), field)) << "other keys go on to the field";

    entry.removeListener (this);
    pressKey (juce::KeyPress::escapeKey);
    EXPECT_EQ (cancels, 2);
}
