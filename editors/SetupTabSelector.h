#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The bar above the setup pages, drawn as the device's signal flow: input lines
// into an INPUTS box, a MATRIX box with one square per crosspoint, an OUTPUTS box
// with lines leaving it, and a CONTROL tab below. A click chooses the page.
// Message thread only.
class SetupTabSelector : public juce::Component
{
public:
    enum Tab
    {
        inputsTab = 0,
        matrixTab,
        outputsTab,
        controlTab,
        numTabs
    };

    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void setupTabChanged (SetupTabSelector&) {}
    };

    static constexpr int defaultWidth = 340;
    static constexpr int defaultHeight = 155;
    static constexpr int maxChannels = 4;

    SetupTabSelector();
    ~SetupTabSelector() override;

    // A null listener is ignored; adding one twice keeps one entry.
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    // Counts above four are drawn as four.
    void setChannelCounts (int inputs, int outputs);

    int getSelectedTab() const noexcept { return selectedTab; }
    int getNumInputs() const noexcept { return numInputs; }
    int getNumOutputs() const noexcept { return numOutputs; }
    juce::Rectangle<float> getTabArea (int tab) const;

    void resized() override;
    void paint (juce::Graphics&) override;
    // The tab is chosen where the button went down, not where it came up.
    void mouseUp (const juce::MouseEvent&) override;

private:
    // The y of the signal line of channel i.
    int rowY (int i) const;

    juce::ListenerList<Listener> listeners;
    int selectedTab = inputsTab;
    int numInputs = maxChannels;
    int numOutputs = maxChannels;
    juce::Rectangle<float> tabAreas[numTabs];

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SetupTabSelector)
};
