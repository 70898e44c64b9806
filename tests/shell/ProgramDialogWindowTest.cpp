// The program's own dialog windows, shown for real: the content keeps the size it gave itself,
// also when one window shows it again and again, as the password windows are.
#include "shell/PasswordComponent.h"
#include "testing/window/DesktopAtoms.h"
#include "testing/window/ModalDialogHand.h"

#include <gtest/gtest.h>

namespace
{
// Areas compare as text, which reads well in a failure.
std::string text (juce::Rectangle<int> area)
{
    return area.toString().toStdString();
}

struct ProgramDialogWindowTest : ::testing::Test
{
    DesktopReady beforeTheDisplayOpens;
    juce::ScopedJuceInitialiser_GUI gui;
};

// What a window showed: its content's area and where a child of the content sat in the window.
struct Seen
{
    juce::Rectangle<int> content, insideFrame, childInWindow;
};

Seen look (juce::DialogWindow& window, juce::Component& child)
{
    const auto* content = window.getContentComponent();
    return { content != nullptr ? content->getBounds() : juce::Rectangle<int>(),
             window.getBorderThickness().subtractedFrom (window.getLocalBounds()),
             child.getScreenBounds() - window.getScreenPosition() };
}
} // namespace

TEST_F (ProgramDialogWindowTest, ThePasswordWindowShowsItsEntryAtTheEntrysSizeEveryTime)
{
    PasswordComponent entry;
    auto& okButton = *entry.getChildComponent (0);
    const auto given = entry.getBounds();
    const auto okGiven = okButton.getBounds();

    // Made once and shown many times, as the program does.
    const auto window = entry.createHiddenDialog ("Enter password");

    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE ("showing " + std::to_string (i + 1));
        Seen seen;
        const ModalDialogHand hand (
            [&] (juce::DialogWindow& shown)
            {
                if (&shown == window.get())
                    seen = look (shown, okButton);
                shown.closeButtonPressed();
            });

        EXPECT_FALSE (entry.runDialog (*window).has_value());

        ASSERT_TRUE (hand.acted()) << "the window never showed";
        EXPECT_EQ (text (seen.content.withZeroOrigin()), text (given.withZeroOrigin()))
            << "the content keeps its own size";
        EXPECT_EQ (text (seen.content), text (seen.insideFrame))
            << "no title bar: the frame lies right around the content";
        EXPECT_EQ (text (seen.childInWindow), text (okGiven + seen.content.getPosition()));
    }

    EXPECT_EQ (text (entry.getBounds().withZeroOrigin()), text (given.withZeroOrigin()));
}
