#include "editors/ControlTabs.h"

#include "look/ColourScheme.h"

namespace
{
constexpr float tabWidth = 72.0f, tabHeight = 20.0f, tabGap = 20.0f;
const char* const tabNames[ControlTabs::numTabs] = { "GPI 1", "GPI 2", "GPO" };
} // namespace

ControlTabs::ControlTabs()
{
    tabs.fill ({ 0.0f, 0.0f, tabWidth, tabHeight });
}

ControlTabs::~ControlTabs() = default;

void ControlTabs::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void ControlTabs::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

juce::Rectangle<float> ControlTabs::getTabArea (int tab) const
{
    return tab >= 0 && tab < numTabs ? tabs[(size_t)tab] : juce::Rectangle<float>();
}

void ControlTabs::resized()
{
    const auto middleX = (float)proportionOfWidth (0.5f) - tabWidth * 0.5f;
    const auto y = (float)proportionOfHeight (0.5f) - tabHeight * 0.5f;
    tabs[1] = { middleX, y, tabWidth, tabHeight };
    tabs[0] = { middleX - tabGap - tabWidth, y, tabWidth, tabHeight };
    tabs[2] = { middleX + tabWidth + tabGap, y, tabWidth, tabHeight };
}

void ControlTabs::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);

    const auto accent = findColour (accentColourId);
    const auto background = findColour (juce::ResizableWindow::backgroundColourId);
    g.setFont (juce::Font (16.0f, juce::Font::plain));

    for (int tab = 0; tab < numTabs; ++tab)
    {
        const bool selected = tab == selectedTab;
        g.setColour (selected ? accent : background);
        g.drawRoundedRectangle (tabs[(size_t)tab], 5.0f, 3.0f);

        g.setColour (selected ? accent : background.darker (0.4f));
        g.drawText (tabNames[tab], tabs[(size_t)tab].getSmallestIntegerContainer(),
                    juce::Justification::centred, false);
    }
}

void ControlTabs::mouseUp (const juce::MouseEvent& event)
{
    const auto down = event.getMouseDownPosition().toFloat();

    for (int tab = 0; tab < numTabs; ++tab)
        if (tabs[(size_t)tab].contains (down))
        {
            if (tab != selectedTab)
            {
                selectedTab = tab;
                listeners.call ([this] (Listener& l) { l.controlTabChanged (*this); });
            }
            break;
        }

    repaint();
}
