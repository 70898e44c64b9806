#include "look/ColourScheme.h"
#include "editors/SetupTabSelector.h"
#include "tests/editors/EditorTestSupport.h"

using namespace editortest;

namespace
{
struct TabLog : SetupTabSelector::Listener
{
    void setupTabChanged (SetupTabSelector& bar) override { tabs.add (bar.getSelectedTab()); }
    juce::Array<int> tabs;
};

juce::Point<float> centreOf (const SetupTabSelector& bar, int tab)
{
    return bar.getTabArea (tab).getCentre();
}
} // namespace

TEST (SetupTabSelector, ChoosesTheTabWhereTheButtonWentDownAndTellsOnlyChanges)
{
    juce::ScopedJuceInitialiser_GUI gui;
    SetupTabSelector bar;
    bar.resized();
    TabLog log;
    bar.addListener (&log);
    bar.addListener (&log);

    click (bar, centreOf (bar, SetupTabSelector::outputsTab), centreOf (bar, SetupTabSelector::matrixTab));
    EXPECT_EQ (bar.getSelectedTab(), SetupTabSelector::outputsTab);

    click (bar, centreOf (bar, SetupTabSelector::outputsTab)); // already chosen
    click (bar, { 2.0f, 2.0f });                               // beside every tab
    click (bar, centreOf (bar, SetupTabSelector::controlTab), { 2.0f, 2.0f });
    EXPECT_EQ (log.tabs, juce::Array<int> ({ SetupTabSelector::outputsTab, SetupTabSelector::controlTab }));

    // The CONTROL tab is a strip below the MATRIX box, not another box.
    const auto control = bar.getTabArea (SetupTabSelector::controlTab);
    EXPECT_EQ (control, juce::Rectangle<float> (134.0f, 119.0f, 72.0f, 20.0f));
    EXPECT_EQ (bar.getTabArea (SetupTabSelector::inputsTab),
               juce::Rectangle<float> (32.0f, 34.0f, 72.0f, 72.0f));
}

TEST (SetupTabSelector, DrawsOneSignalLinePerChannelUpToFour)
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::LookAndFeel_V3 look;
    applyColourScheme (look);
    SetupTabSelector bar;
    bar.setLookAndFeel (&look);
    bar.resized();

    const auto lineAt = [&bar] (int x, int row)
    {
        const auto image = bar.createComponentSnapshot (bar.getLocalBounds(), true, 1.0f);
        return image.getPixelAt (x, bar.proportionOfHeight (0.3f + 0.1f * (float)row)) !=
               juce::Colour (juce::Colours::white);
    };

    bar.setChannelCounts (2, 1);
    EXPECT_TRUE (lineAt (15, 1));
    EXPECT_FALSE (lineAt (15, 2));
    EXPECT_TRUE (lineAt (bar.getWidth() - 15, 0));
    EXPECT_FALSE (lineAt (bar.getWidth() - 15, 1));

    bar.setChannelCounts (9, 6);
    EXPECT_EQ (bar.getNumInputs(), 4);
    EXPECT_EQ (bar.getNumOutputs(), 4);
    EXPECT_TRUE (lineAt (15, 3));
    bar.setLookAndFeel (nullptr);
}
