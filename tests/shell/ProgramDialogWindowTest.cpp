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

bool isWhite (const juce::Image::BitmapData& pixels, int x, int y)
{
    return pixels.getPixelColour (x, y).getARGB() == juce::Colours::white.getARGB();
}

// Looks at the picture the shown window's content paints: the strip is found from the button
// upwards along the content's left edge, where only the strip is drawn, and the rows above it must
// be white edge to edge. Gives the window's and the content's areas, to compare showings.
std::string expectClearOfItsStrip (juce::DialogWindow& window, juce::Component& button)
{
    auto& content = *window.getContentComponent();
    const auto picture = content.createComponentSnapshot (content.getLocalBounds(), true, 1.0f);
    const juce::Image::BitmapData pixels (picture, juce::Image::BitmapData::readOnly);
    const auto buttonArea = button.getScreenBounds() - content.getScreenPosition();

    int y = buttonArea.getY();
    while (y >= 0 && !isWhite (pixels, 3, y))
        --y;
    const int stripTop = y + 1;

    int plainRowsAbove = 0;
    for (bool plain = true; plain && y >= 0; --y)
    {
        for (int x = 0; plain && x < pixels.width; ++x)
            plain = isWhite (pixels, x, y);
        plainRowsAbove += plain ? 1 : 0;
    }

    EXPECT_EQ (text (content.getBounds()), text (window.getBorderThickness().subtractedFrom (window.getLocalBounds())))
        << "no title bar: the frame lies right around the content";
    EXPECT_GT (stripTop, 0) << "no strip above the button";
    EXPECT_GE (plainRowsAbove, clearRowsNeeded) << "something is drawn right above the strip at " << stripTop;
    EXPECT_GT (buttonArea.getY(), stripTop) << "the button lies in its strip";
    EXPECT_LE (buttonArea.getBottom(), content.getHeight());
    return text (window.getBounds().withZeroOrigin()) + " around " + text (content.getBounds());
}
} // namespace

TEST_F (ProgramDialogWindowTest, ThePasswordWindowShowsItsFieldClearOfTheStripAndTheSameWindowEveryTime)
{
    PasswordComponent entry;
    auto& okButton = *entry.getChildComponent (0);

    // Made once and shown many times, as the program does.
    const auto window = entry.createHiddenDialog ("Enter password");
    std::vector<std::string> showings;

    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE ("showing " + std::to_string (i + 1));
        const ModalDialogHand hand (
            [&] (juce::DialogWindow& shown)
            {
                if (&shown == window.get())
                    showings.push_back (expectClearOfItsStrip (shown, okButton));
                shown.closeButtonPressed();
            });

        EXPECT_FALSE (entry.runDialog (*window).has_value());

        ASSERT_TRUE (hand.acted()) << "the window never showed";
        ASSERT_EQ (showings.size(), (size_t)i + 1);
        EXPECT_EQ (showings.back(), showings.front());
    }
}

TEST_F (ProgramDialogWindowTest, TheProgrammingDoneTextEndsWellAboveItsBar)
{
    const ModalDialogHand hand (
        [&] (juce::DialogWindow& shown)
        {
            if (auto* dialog = dynamic_cast<ProgramDialog*> (shown.getContentComponent()))
                expectClearOfItsStrip (shown, dialog->getOkButton());
            else
                ADD_FAILURE() << "another window than \"Programming Done\"";
            shown.closeButtonPressed();
        });

    EXPECT_EQ (ProgramDialog::runModal(), 0);

    EXPECT_TRUE (hand.acted()) << "the window never showed";
}

TEST_F (ProgramDialogWindowTest, TheFirmwareWizardsFirstPageEndsWellAboveItsFooter)
{
    AmplifierEmulator emulator ({ "Zelta 60/2", 0x4017, 0x4016, 31 });
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts());
    FWUpdateWizard wizard (link);
    const auto window = createProgramDialogWindow ("Firmware Update", wizard, false);

    const ModalDialogHand hand (
        [&] (juce::DialogWindow& shown)
        {
            expectClearOfItsStrip (shown, wizard.getNextButton());
            wizard.getCancelButton().triggerClick();
        });

    EXPECT_EQ (window->runModalLoop(), 0);

    EXPECT_TRUE (hand.acted()) << "the window never showed";
}
