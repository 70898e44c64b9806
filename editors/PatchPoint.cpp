#include "editors/PatchPoint.h"

PatchPoint::PatchPoint (int pointId, float initialLevel) : id (pointId)
{
    if (initialLevel == markedLevel)
    {
        marked = true;
        level = 0.0f;
    }
    else
    {
        level = initialLevel;
        on = initialLevel > offLevel;
    }
}

float PatchPoint::getLevel() const noexcept
{
    return !on && level == offLevel ? 0.0f : level;
}

void PatchPoint::setLevel (float newLevel, bool notify)
{
    if (newLevel == level)
        return;

    level = newLevel;

    if (notify)
        notifyListeners();
}

void PatchPoint::notifyListeners()
{
    listeners.call ([this] (Listener& l) { l.patchPointChanged (*this); });
}

void PatchPoint::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void PatchPoint::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void PatchPoint::paint (juce::Graphics& g, juce::Rectangle<float> area, juce::Colour colour,
                        juce::Colour selectedColour) const
{
    if (!enabled)
        return;

    g.setColour (selected ? selectedColour : colour);
    g.drawRect (area, 2.0f);

    if (marked)
    {
        g.setColour (colour.withAlpha (0.6f));
        g.fillRect (area);
    }
    else if (on)
    {
        g.setColour (selected ? juce::Colours::black : colour.darker (0.4f));
        g.fillEllipse (area.reduced (6.0f));
    }
}
