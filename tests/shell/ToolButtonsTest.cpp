#include <gtest/gtest.h>
#include "shell/AddButton.h"
#include "look/ColourScheme.h"
#include "shell/DeleteButton.h"
#include "look/EditButton.h"
#include "shell/GetSettingsButton.h"
#include "shell/InfoButton.h"
#include "shell/PasswordButton.h"
#include "tests/look/LookPaintHelpers.h"

namespace
{
const juce::Colour accent (0xff0171f1);
const juce::Colour clear (0x00000000); // transparent white reads back as transparent black
const juce::Colour veil = juce::Colours::white.withAlpha (0.5f);
const juce::Point<int> noProbe (-1, -1);

class ToolButtonTest : public ::testing::Test
{
protected:
    ToolButtonTest() { applyColourScheme (scheme); }

    // Disabling resets the framework's state, so the state is set last.
    juce::Image paintIn (juce::Button& button, juce::Button::ButtonState state, bool enabled, bool toggled)
    {
        button.setLookAndFeel (&scheme);
        button.setToggleState (toggled, juce::dontSendNotification);
        button.setEnabled (enabled);
        button.setState (state);
        auto image = lookpaint::paint (button);
        button.setLookAndFeel (nullptr);
        return image;
    }

    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V4 scheme;
    PasswordButton padlock;
    GetSettingsButton getSettings;
    AddButton add;
    DeleteButton remove;
    InfoButton info;
    EditButton edit;
};
} // namespace

TEST_F (ToolButtonTest, TooltipsAndWhichButtonsToggle)
{
    const std::tuple<juce::Button*, bool, const char*> expected[] = {
        { &padlock, true, "Lock settings with password\nCTRL + L" },
        { &getSettings, false, "Get settings from connected Zelta\nCTRL + G" },
        { &add, false, "Add new device\nCTRL + N" },
        { &remove, false, "Delete device\nCTRL + D" },
        { &info, true, "" },
        { &edit, true, "" },
    };
    for (auto [button, toggles, tooltip] : expected)
    {
        button->setSize (20, 20);
        EXPECT_TRUE (button->getName().isEmpty() && button->getButtonText().isEmpty());
        EXPECT_EQ (button->getTooltip(), juce::String (tooltip));
        lookpaint::click (*button);
        EXPECT_EQ (button->getToggleState(), toggles) << tooltip;
    }
}

TEST_F (ToolButtonTest, BodyAndSymbolColoursFollowTheState)
{
    using S = juce::Button::ButtonState;
    const auto over = S::buttonOver, down = S::buttonDown, normal = S::buttonNormal;
    const juce::Colour grey (juce::Colours::grey), light (juce::Colours::lightgrey),
        dark (juce::Colours::darkgrey), white (juce::Colours::white), red (juce::Colours::darkred);
    // Probes: a pixel of body colour and one inside the symbol. The padlock's
    // body probe is its keyhole, which is cut out in the body colour.
    const juce::Point<int> keyhole (9, 12), lockBody (4, 14), corner (1, 3), shaft (9, 4), plusBar (10, 4),
        addBody (3, 3), crossing (10, 10), deleteBody (2, 10), stem (10, 12), infoBody (3, 10),
        editBody (5, 5);

    const struct
    {
        juce::Button& button;
        S state;
        bool enabled, toggled;
        juce::Point<int> bodyAt;
        juce::Colour body;
        juce::Point<int> symbolAt;
        juce::Colour symbol;
    } cases[] = {
        { padlock, normal, true, false, keyhole, white, lockBody, grey },
        { padlock, normal, true, true, keyhole, white, lockBody, accent },
        { padlock, over, true, false, keyhole, light, lockBody, accent },
        { padlock, down, true, false, keyhole, grey, lockBody, accent },
        { getSettings, normal, true, false, corner, clear, shaft, grey },
        { getSettings, over, true, false, corner, light, shaft, accent },
        { getSettings, over, false, false, corner, clear, shaft, light },
        { add, normal, true, false, addBody, clear, plusBar, grey },
        { add, over, true, false, addBody, light, plusBar, accent },
        { remove, normal, true, false, deleteBody, clear, crossing, grey },
        { remove, over, true, false, deleteBody, light, crossing, red },
        { info, normal, true, false, infoBody, clear, stem, dark },
        { info, over, true, false, infoBody, clear, stem, accent },
        { info, down, true, false, infoBody, light, stem, accent },
        { info, normal, true, true, infoBody, light, stem, accent },
        { edit, normal, true, false, editBody, clear, noProbe, {} },
        { edit, over, true, false, editBody, clear, noProbe, {} },
        { edit, normal, true, true, editBody, light, noProbe, {} },
        { edit, over, false, false, editBody, veil, noProbe, {} },
    };

    padlock.setSize (21, 21);
    getSettings.setSize (21, 21);
    for (auto* button : std::initializer_list<juce::Button*>{ &add, &remove, &info, &edit })
        button->setSize (20, 20);

    int index = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE ("case " + std::to_string (index++));
        const auto image = paintIn (c.button, c.state, c.enabled, c.toggled);
        EXPECT_TRUE (lookpaint::pixelIs (image, c.bodyAt.x, c.bodyAt.y, c.body));
        if (c.symbolAt != noProbe)
            EXPECT_TRUE (lookpaint::pixelIs (image, c.symbolAt.x, c.symbolAt.y, c.symbol));
    }

    // The padlock draws into width - 2: its last column stays empty.
    EXPECT_TRUE (lookpaint::pixelIs (paintIn (padlock, normal, true, true), 20, 10, clear));
}
