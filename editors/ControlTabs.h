#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The strip of three hand-drawn tabs above the CONTROL page's sub-pages:
// "GPI 1", "GPI 2", "GPO". A tab is chosen where the mouse button went down,
// on release; listeners hear only of a change.
class ControlTabs : public juce::Component
{
public:
    static constexpr int numTabs = 3;

    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void controlTabChanged (ControlTabs&) {}
    };

    ControlTabs();
    ~ControlTabs() override;

    // A null listener is ignored; adding one twice keeps one entry.
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    int getSelectedTab() const noexcept { return selectedTab; }
    juce::Rectangle<float> getTabArea (int tab) const;

    void resized() override;
    void paint (juce::Graphics&) override;
    void mouseUp (const juce::MouseEvent&) override;

private:
    std::array<juce::Rectangle<float>, numTabs> tabs;
    int selectedTab = 0;
    juce::ListenerList<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlTabs)
};
