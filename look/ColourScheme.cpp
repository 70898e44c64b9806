#include "look/ColourScheme.h"

#include <utility>
#include <vector>

namespace
{
using ColourTable = std::vector<std::pair<int, juce::Colour>>;

ColourTable buildColourTable()
{
    const juce::Colour accent (accentColourArgb);
    const juce::Colour lightGrey (juce::Colours::lightgrey);
    // Light grey darker by 0.4 and the accent brighter by 0.4, kept as their
    // values: the float rounding of Colour::brighter differs by one step in
    // blue between builds, and the scheme must not.
    const juce::Colour pressedGrey (0xff969696);
    const juce::Colour lightAccent (0xff4999f4);

    // The order is the order in which the colours are set.
    return {
        { juce::TextButton::buttonColourId, lightGrey },
        { juce::TextButton::buttonOnColourId, pressedGrey },
        { juce::TextEditor::highlightColourId, lightAccent },
        { juce::TextEditor::focusedOutlineColourId, accent },
        { juce::ResizableWindow::backgroundColourId, lightGrey },
        { juce::PopupMenu::highlightedBackgroundColourId, pressedGrey },
        { juce::ComboBox::buttonColourId, accent },
        { juce::Slider::thumbColourId, lightAccent },
        { accentColourId, accent },
        { juce::Slider::textBoxHighlightColourId, lightAccent },
        { juce::ComboBox::arrowColourId, juce::Colours::black },
    };
}
} // namespace

void applyColourScheme (juce::LookAndFeel& lookAndFeel)
{
    static const ColourTable table = buildColourTable();

    for (const auto& entry : table)
        lookAndFeel.setColour (entry.first, entry.second);
}

IconColours getToggleIconColours (const juce::Button& button, bool isMouseOver, bool isButtonDown)
{
    const auto accent = button.findColour (accentColourId);

    if (isButtonDown || button.getToggleState())
        return { juce::Colours::lightgrey, accent };

    return { juce::Colours::white.withAlpha (0.0f), isMouseOver ? accent : juce::Colours::darkgrey };
}
