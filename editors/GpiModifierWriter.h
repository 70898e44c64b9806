#pragma once

#include <juce_core/juce_core.h>

// Writes the MODIFIER elements through which a GPI acts into a CORVADINE
// element. A MODIFIER's first PARAMETER names its source in its StepValue:
// 2 and 3 the potentiometers on GPI 1 and GPI 2, 6 to 10 the RS232 sources,
// -1 a disabled modifier whose Id may be given out again. The Ids 4, 6, ..., 18
// are the slots the GPIs use.
//
// A write either completes or changes nothing: the amplifier must never get
// part of a function.
class GpiModifierWriter
{
public:
    enum class Result
    {
        written,   // the document now holds what was asked
        unchanged, // it held that already and was left as it was
        noRoom     // too few free slots; the document was left as it was
    };

    enum class Mode
    {
        check, // only tells what a write would come to
        apply
    };

    static constexpr int disabledSource = -1;
    static constexpr int firstRs232Source = 6;
    static constexpr int lastRs232Source = 10;

    // The source number of a GPI's potentiometer (GPI index 0 or 1).
    static int potentiometerSource (int gpiIndex) noexcept { return gpiIndex + 2; }

    // Output Level on GPI gpiIndex: the modifiers of the output-set preset (a
    // category-5 document), retargeted to this GPI. A null preset only disables
    // the GPI's modifiers.
    static Result writeOutputLevel (juce::XmlElement& corvadine, int gpiIndex, const juce::XmlElement* preset,
                                    Mode mode = Mode::apply);

    // RS232: the modifiers of the RS232 preset (category 7) as they stand. A null
    // preset only disables the RS232 modifiers.
    static Result writeRs232 (juce::XmlElement& corvadine, const juce::XmlElement* preset,
                              Mode mode = Mode::apply);

    // The first slot k (2..9) whose Id 2k is unused or held only by disabled
    // modifiers, which are then removed; -1 when every slot is taken.
    static int findFreeModifierId (juce::XmlElement& corvadine);

    // The GPI 2 potentiometer drives its own set of output gains.
    static void applyGpi2OutputGains (juce::XmlElement& modifier);

private:
    struct Sources
    {
        int lowest, highest;
        bool contains (int source) const noexcept { return source >= lowest && source <= highest; }
    };

    static Result write (juce::XmlElement& corvadine, Sources owned,
                         const juce::OwnedArray<juce::XmlElement>& wanted, Mode mode);
    static int sourceOf (const juce::XmlElement& modifier);
    static juce::Array<juce::XmlElement*> modifiersOf (juce::XmlElement& corvadine, Sources sources);
    static bool holdsAlready (const juce::Array<juce::XmlElement*>& existing,
                              const juce::OwnedArray<juce::XmlElement>& wanted);
    static int countFreeSlots (juce::XmlElement& corvadine, Sources owned);
    // No MODIFIER holds the slot's Id, or every holder is disabled or of a
    // releasable source.
    static bool slotIsFree (const juce::XmlElement& corvadine, int slot, Sources releasable);
    static void nameForSlot (juce::XmlElement& modifier, int slot);
};
