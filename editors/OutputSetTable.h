#pragma once

#include <juce_core/juce_core.h>

// The sets of outputs a GPI function can act on, as the family offers them.
// Bit n of a mask stands for output n + 1. A four-output family lists all 15
// sets; the two-output family its three, the one-output family its one. The
// category-5 presets hold one document per entry of the 15-set list, in its
// order, so every family entry maps to a position in that list.
class OutputSetTable
{
public:
    static constexpr int fullListSize = 15;

    // The table of a family id (DeviceFamily::id): 0 three sets, 2 one set,
    // any other all fifteen.
    static OutputSetTable forFamily (int familyId);

    int size() const noexcept { return count; }

    // 0 out of range.
    juce::uint8 maskAt (int index) const noexcept;
    // The output names of the set joined with " and "; empty out of range.
    juce::String entryName (int index) const;
    // The position of entry index's mask in the 15-set list; -1 when the mask
    // is not there or index is out of range.
    int fullListIndex (int index) const noexcept;
    // The entry holding exactly this mask; -1 when none does.
    int indexOfMask (juce::uint8 mask) const noexcept;

private:
    OutputSetTable (const juce::uint8* masks, int count) noexcept;

    const juce::uint8* masks;
    int count;
};
