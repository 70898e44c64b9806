#include "editors/SetupTabSelector.h"

#include "look/ColourScheme.h"

namespace
{
constexpr float tabSize = 72.0f;
constexpr float controlTabHeight = 20.0f;
constexpr float boxCorner = 5.0f;
constexpr float controlCorner = 3.0f;
constexpr float outlineThickness = 3.0f;
constexpr int lineInset = 10;

const char* const boxLabels[] = { "INPUTS", "MATRIX", "OUTPUTS" };
const float boxCentres[] = { 0.2f, 0.5f, 0.8f };
} // namespace

SetupTabSelector::SetupTabSelector()
{
    for (auto& area : tabAreas)
        area = { 0.0f, 0.0f, tabSize, tabSize };

    setSize (defaultWidth, defaultHeight);
}

SetupTabSelector::~SetupTabSelector() = default;

void SetupTabSelector::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void SetupTabSelector::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void SetupTabSelector::setChannelCounts (int inputs, int outputs)
{
    numInputs = juce::jmin (inputs, (int)maxChannels);
    numOutputs = juce::jmin (outputs, (int)maxChannels);
    repaint();
}

juce::Rectangle<float> SetupTabSelector::getTabArea (int tab) const
{
    return juce::isPositiveAndBelow (tab, (int)numTabs) ? tabAreas[tab] : juce::Rectangle<float>();
}

int SetupTabSelector::rowY (int i) const
{
    return proportionOfHeight (0.3f + 0.1f * (float)i);
}

void SetupTabSelector::resized()
{
    const float half = tabSize / 2.0f;
    const float boxY = (float)proportionOfHeight (0.45f) - half;

    for (int tab = inputsTab; tab <= outputsTab; ++tab)
        tabAreas[tab] = { (float)proportionOfWidth (boxCentres[tab]) - half, boxY, tabSize, tabSize };

    tabAreas[controlTab] = { (float)proportionOfWidth (0.5f) - half,
                             (float)proportionOfHeight (0.83f) - 10.0f, tabSize, controlTabHeight };
}

void SetupTabSelector::paint (juce::Graphics& g)
{
    const auto background = findColour (juce::ResizableWindow::backgroundColourId, false);
    const auto accent = findColour (accentColourId, false);
    const int middle = proportionOfWidth (0.5f);

    g.fillAll (juce::Colours::white);

    g.setColour (background);

    for (int i = 0; i < numInputs; ++i)
        g.drawHorizontalLine (rowY (i), (float)lineInset, (float)middle);

    for (int i = 0; i < numOutputs; ++i)
        g.drawHorizontalLine (rowY (i), (float)middle, (float)(getWidth() - lineInset));

    g.setColour (juce::Colours::white);

    for (auto& area : tabAreas)
        g.fillRoundedRectangle (area, boxCorner);

    for (int tab = 0; tab < numTabs; ++tab)
    {
        g.setColour (tab == selectedTab ? accent : background);
        g.drawRoundedRectangle (tabAreas[tab], tab == controlTab ? controlCorner : boxCorner,
                                outlineThickness);
    }

    const auto labelColour = [&] (int tab) { return tab == selectedTab ? accent : background.darker (0.4f); };

    g.setFont (juce::Font (16.0f, juce::Font::plain));

    for (int tab = inputsTab; tab <= outputsTab; ++tab)
    {
        g.setColour (labelColour (tab));
        g.drawText (boxLabels[tab], proportionOfWidth (boxCentres[tab]) - 35,
                    proportionOfHeight (0.1548f) - 15, 70, 30, juce::Justification::centred, true);
    }

    g.setColour (labelColour (controlTab));
    g.setFont (juce::Font (14.0f, juce::Font::plain));
    g.drawText ("CONTROL", tabAreas[controlTab].getSmallestIntegerContainer(), juce::Justification::centred,
                true);

    g.setColour (background);

    for (int i = 0; i < numInputs; ++i)
        g.drawRect (proportionOfWidth (0.2f) - 30, rowY (i) - 5, 60, 10, 2);

    for (int i = 0; i < numOutputs; ++i)
        g.drawRect (proportionOfWidth (0.8f) - 30, rowY (i) - 5, 60, 10, 2);

    for (int i = 0; i < numInputs; ++i)
        for (int j = 0; j < numOutputs; ++j)
            g.drawRect (proportionOfWidth (0.4314f + 0.0457f * (float)j) - 5, rowY (i) - 5, 10, 10, 2);
}

void SetupTabSelector::mouseUp (const juce::MouseEvent& e)
{
    const auto pressed = e.mouseDownPosition;

    for (int tab = 0; tab < numTabs; ++tab)
    {
        if (!tabAreas[tab].contains (pressed))
            continue;

        if (tab != selectedTab)
        {
            selectedTab = tab;
            listeners.call ([this] (Listener& l) { l.setupTabChanged (*this); });
        }

        break;
    }

    repaint();
}
