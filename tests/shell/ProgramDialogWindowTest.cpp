// The program's own dialog windows, shown for real and looked at as the user sees them: no title
// bar, the content over the whole frame, the button in the bottom strip and nothing drawn near the
// strip's top edge; the password window, made once, the same at every showing.
#include "look/ColourScheme.h"
#include "look/SystemFontLookAndFeel.h"
#include "shell/PasswordComponent.h"
#include "shell/ProgramDialog.h"
#include "shell/ProgramDialogWindow.h"
#include "testing/emulator/AmplifierEmulator.h"
#include "testing/window/DesktopAtoms.h"
#include "testing/window/ModalDialogHand.h"
#include "updates/FWUpdateWizard.h"

#include <gtest/gtest.h>

namespace
{
// Areas compare as text, which reads well in a failure.
std::string text (juce::Rectangle<int> area)
{
    return area.toString().toStdString();
}

// Less than this between the last thing drawn and the strip reads as touching it.
constexpr int clearRowsNeeded = 8;

struct ProgramDialogWindowTest : ::testing::Test
{
    ProgramDialogWindowTest()
    {
        applyColourScheme (look);
        juce::LookAndFeel::setDefaultLookAndFeel (&look);
    }

    ~ProgramDialogWindowTest() override { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); }

    DesktopReady beforeTheDisplayOpens;
    juce::ScopedJuceInitialiser_GUI gui;
    SystemFontLookAndFeel look;
};

// What a shown window looked like, read off the picture its content paints.
struct Seen
{
    juce::Rectangle<int> window, content, insideFrame, button;
    int stripTop = -1;      // first row of the shaded strip that holds the button
    int plainRowsAbove = 0; // white rows, edge to edge, right above the strip
};

bool isWhite (juce::Colour colour)
{
    return colour.getARGB() == juce::Colours::white.getARGB();
}

// The strip is found from the button upwards along the content's left edge, where only the strip
// is drawn.
Seen lookAt (juce::DialogWindow& window, juce::Component& button)
{
    auto& content = *window.getContentComponent();
    const auto picture = content.createComponentSnapshot (content.getLocalBounds(), true, 1.0f);
    const juce::Image::BitmapData pixels (picture, juce::Image::BitmapData::readOnly);

    Seen seen{ window.getBounds().withZeroOrigin(), content.getBounds(),
               window.getBorderThickness().subtractedFrom (window.getLocalBounds()),
               button.getScreenBounds() - content.getScreenPosition() };

    int y = seen.button.getY();
    while (y >= 0 && !isWhite (pixels.getPixelColour (3, y)))
        --y;
    seen.stripTop = y + 1;

    for (; y >= 0; --y)
    {
        for (int x = 0; x < pixels.width; ++x)
            if (!isWhite (pixels.getPixelColour (x, y)))
                return seen;
        ++seen.plainRowsAbove;
    }
    return seen;
}

void expectClearOfItsStrip (const Seen& seen)
{
    EXPECT_EQ (text (seen.content), text (seen.insideFrame)) << "no title bar: the frame lies right around the content";
    EXPECT_GT (seen.stripTop, 0) << "no strip above the button";
    EXPECT_GE (seen.plainRowsAbove, clearRowsNeeded) << "something is drawn right above the strip at " << seen.stripTop;
    EXPECT_GT (seen.button.getY(), seen.stripTop) << "the button lies in its strip";
    EXPECT_LE (seen.button.getBottom(), seen.content.getHeight());
}
} // namespace

TEST_F (ProgramDialogWindowTest, ThePasswordWindowShowsItsFieldClearOfTheStripAndTheSameWindowEveryTime)
{
    PasswordComponent entry;
    auto& okButton = *entry.getChildComponent (0);

    // Made once and shown many times, as the program does.
    const auto window = entry.createHiddenDialog ("Enter password");
    std::vector<Seen> showings;

    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE ("showing " + std::to_string (i + 1));
        const ModalDialogHand hand (
            [&] (juce::DialogWindow& shown)
            {
                if (&shown == window.get())
                    showings.push_back (lookAt (shown, okButton));
                shown.closeButtonPressed();
            });

        EXPECT_FALSE (entry.runDialog (*window).has_value());

        ASSERT_TRUE (hand.acted()) << "the window never showed";
        ASSERT_EQ (showings.size(), (size_t)i + 1);
        expectClearOfItsStrip (showings.back());
        EXPECT_EQ (text (showings.back().window), text (showings.front().window));
        EXPECT_EQ (text (showings.back().content), text (showings.front().content));
    }
}

TEST_F (ProgramDialogWindowTest, TheProgrammingDoneTextEndsWellAboveItsBar)
{
    Seen seen;
    const ModalDialogHand hand (
        [&] (juce::DialogWindow& shown)
        {
            if (auto* dialog = dynamic_cast<ProgramDialog*> (shown.getContentComponent()))
                seen = lookAt (shown, dialog->getOkButton());
            shown.closeButtonPressed();
        });

    EXPECT_EQ (ProgramDialog::runModal(), 0);

    ASSERT_TRUE (hand.acted()) << "the window never showed";
    expectClearOfItsStrip (seen);
}

TEST_F (ProgramDialogWindowTest, TheFirmwareWizardsFirstPageEndsWellAboveItsFooter)
{
    AmplifierEmulator emulator ({ "Zelta 60/2", 0x4017, 0x4016, 31 });
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts());
    FWUpdateWizard wizard (link);
    const auto window = createProgramDialogWindow ("Firmware Update", wizard, false);

    Seen seen;
    const ModalDialogHand hand (
        [&] (juce::DialogWindow& shown)
        {
            seen = lookAt (shown, wizard.getNextButton());
            wizard.getCancelButton().triggerClick();
        });

    EXPECT_EQ (window->runModalLoop(), 0);

    ASSERT_TRUE (hand.acted()) << "the window never showed";
    expectClearOfItsStrip (seen);
}
