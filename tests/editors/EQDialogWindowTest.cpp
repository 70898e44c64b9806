// The EQ dialog of the INPUTS and OUTPUTS pages in the real dialog window, opened again and again:
// every opening shows it at the size its page gave it.
#include "editors/InputComponent.h"
#include "editors/OutputComponent.h"
#include "platform/JuceUserInteraction.h"
#include "testing/window/DesktopAtoms.h"
#include "testing/window/ModalDialogHand.h"
#include "tests/editors/EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace editortest;

namespace
{
// Areas compare as text, which reads well in a failure.
std::string text (juce::Rectangle<int> area)
{
    return area.toString().toStdString();
}

// Questions stay scripted; the dialog goes to the real window.
struct WindowedUser : ScriptedUserInteraction
{
    JuceUserInteraction real;
    std::vector<int> results;

    int runDialog (juce::Component& content, const juce::String& title) override
    {
        calls.push_back ({ "dialog", Icon::info, title });
        results.push_back (real.runDialog (content, title));
        return results.back();
    }
};

enum class Close
{
    ok,
    cancel,
    window
};

struct Opening
{
    juce::String title;
    bool nativeTitleBar = false;
    juce::Rectangle<int> window, content, okInWindow;
};

// Notes what the dialog's window shows and closes it the given way.
Opening seeAndClose (juce::DialogWindow& window, EQDialog& dialog, Close how)
{
    const Opening seen{ window.getName(), window.isUsingNativeTitleBar(), window.getBounds().withZeroOrigin(),
                        dialog.getBounds(),
                        dialog.getOkButton().getScreenBounds() - window.getScreenPosition() };

    if (how == Close::ok)
        dialog.getOkButton().triggerClick();
    else if (how == Close::cancel)
        dialog.getCancelButton().triggerClick();
    else
        window.userTriedToCloseWindow();

    return seen;
}

struct EqDialogWindowFixture : ::testing::Test
{
    DesktopReady beforeTheDisplayOpens;
    juce::ScopedJuceInitialiser_GUI gui;
    TemporaryDocuments documents;
    PresetLibrary library;
    WindowedUser user;

    // Chooses "Custom..." in the box five times, closing the dialog by OK, Cancel, the window's
    // close button, OK and OK; each opening must look like the first and the dialog must come back
    // from each at the page's size.
    void openFiveTimes (EQDialog& dialog, juce::ComboBox& box, int customId)
    {
        const auto given = dialog.getBounds();
        const auto okGiven = dialog.getOkButton().getBounds();
        ASSERT_FALSE (given.isEmpty());

        const Close closes[] = { Close::ok, Close::cancel, Close::window, Close::ok, Close::ok };

        for (int i = 0; i < 5; ++i)
        {
            SCOPED_TRACE ("opening " + std::to_string (i + 1));
            Opening seen;
            const ModalDialogHand hand ([&] (juce::DialogWindow& window)
                                        { seen = seeAndClose (window, dialog, closes[i]); });
            choose (box, customId);

            ASSERT_TRUE (hand.acted()) << "the dialog never showed";
            EXPECT_EQ (seen.title, "Custom EQ Settings");
            EXPECT_TRUE (seen.nativeTitleBar);
            EXPECT_EQ (text (seen.content), text (given.withZeroOrigin()));
            EXPECT_EQ (text (seen.window), text (given.withZeroOrigin()))
                << "the native title bar lies outside";
            EXPECT_EQ (text (seen.okInWindow), text (okGiven));

            EXPECT_EQ (dialog.getParentComponent(), nullptr);
            EXPECT_EQ (text (dialog.getBounds()), text (given));
        }

        EXPECT_EQ (user.results, std::vector<int> ({ 1, 0, 0, 1, 1 })) << "OK is 1, Cancel and closing 0";
        EXPECT_FALSE (user.anyUnexpected());
    }

    // The page of a "ZELTA M", whose own EQ dialog opens from the box.
    template <typename Page, typename BoxOf> void openOnPage (BoxOf boxOf)
    {
        juce::XmlElement device (*library.getElement (1));
        Page page (device, library, DeviceFamily::fromId (1), user, documents.folder);
        page.setSize (340, 400);
        deliverPendingMessages();

        openFiveTimes (page.getEqDialog(), boxOf (page), Page::customId);
    }
};
} // namespace

TEST_F (EqDialogWindowFixture, TheOutputPageDialogOpensAtTheSameSizeEveryTime)
{
    openOnPage<OutputComponent> ([] (OutputComponent& page) -> juce::ComboBox&
                                 { return page.getSpeakerBox (0); });
}

TEST_F (EqDialogWindowFixture, TheInputPageDialogOpensAtTheSameSizeEveryTime)
{
    openOnPage<InputComponent> ([] (InputComponent& page) -> juce::ComboBox&
                                { return page.getComboBox (1); });
}
