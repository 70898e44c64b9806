#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// One crosspoint of the matrix: input id & 3 to output id >> 2, with a level in
// dB. The level is kept while the point is off, so that switching it on again
// restores it. Painted by its page into the area the page gives it.
class PatchPoint
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void patchPointChanged (PatchPoint&) {}
    };

    // Stored level of a point that is off.
    static constexpr float offLevel = -30.5f;
    // Stored level of a point whose output a GPI source selector switches.
    static constexpr float markedLevel = 0.5f;

    // A level of markedLevel makes a marked point at 0 dB; any level above
    // offLevel makes a connected point.
    PatchPoint (int id, float level);

    int getId() const noexcept { return id; }
    int getInput() const noexcept { return id & 3; }
    int getOutput() const noexcept { return id >> 2; }

    // 0 dB for a point that is off with no level of its own, else the level.
    float getLevel() const noexcept;
    // Stores a different level and, with notify, tells the listeners; an equal
    // level does nothing.
    void setLevel (float newLevel, bool notify);
    void notifyListeners();

    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    bool selected = false;
    bool on = false;
    bool marked = false;
    bool enabled = true;

    void paint (juce::Graphics&, juce::Rectangle<float> area, juce::Colour colour,
                juce::Colour selectedColour) const;

private:
    juce::ListenerList<Listener> listeners;
    const int id;
    float level = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PatchPoint)
};
