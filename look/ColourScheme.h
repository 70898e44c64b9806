#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program's own colour id for its single accent colour. Paint code reads the
// accent through it (on a component, falling back to its look-and-feel); a
// look-and-feel without the scheme answers black, like any unknown id.
constexpr int accentColourId = 0x100b000;

// The accent itself, for the few places that use it without a look-and-feel.
constexpr juce::uint32 accentColourArgb = 0xff0171f1;

// Puts the program's colour table into the given look-and-feel. The table is
// built on the first call and reused; applying it twice sets the same values again.
void applyColourScheme (juce::LookAndFeel& lookAndFeel);

// Body and symbol colours of an icon button that stays lit while it is toggled on: clear
// and dark grey at rest, the accent symbol under the mouse, on light grey while pressed or on.
struct IconColours
{
    juce::Colour body, symbol;
};
IconColours getToggleIconColours (const juce::Button& button, bool isMouseOver, bool isButtonDown);
