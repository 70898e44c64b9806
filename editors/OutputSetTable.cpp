#include "editors/OutputSetTable.h"

namespace
{
const juce::uint8 twoOutputSets[] = { 0x01, 0x02, 0x03 };
const juce::uint8 oneOutputSets[] = { 0x01 };
const juce::uint8 allOutputSets[OutputSetTable::fullListSize] = { 0x01, 0x02, 0x04, 0x08, 0x03,
                                                                  0x05, 0x09, 0x06, 0x0A, 0x0C,
                                                                  0x07, 0x0B, 0x0D, 0x0E, 0x0F };
const char* const outputNames[] = { "SPK1", "SPK2", "OUT3", "OUT4" };
} // namespace

OutputSetTable::OutputSetTable (const juce::uint8* maskList, int numMasks) noexcept
    : masks (maskList), count (numMasks)
{
}

OutputSetTable OutputSetTable::forFamily (int familyId)
{
    switch (familyId)
    {
        case 0:
            return { twoOutputSets, (int)std::size (twoOutputSets) };
        case 2:
            return { oneOutputSets, (int)std::size (oneOutputSets) };
        default:
            return { allOutputSets, fullListSize };
    }
}

juce::uint8 OutputSetTable::maskAt (int index) const noexcept
{
    return index >= 0 && index < count ? masks[index] : 0;
}

juce::String OutputSetTable::entryName (int index) const
{
    juce::StringArray names;
    const auto mask = maskAt (index);

    for (int bit = 0; bit < (int)std::size (outputNames); ++bit)
        if ((mask & (1 << bit)) != 0)
            names.add (outputNames[bit]);

    return names.joinIntoString (" and ");
}

int OutputSetTable::fullListIndex (int index) const noexcept
{
    if (index < 0 || index >= count)
        return -1;

    for (int i = 0; i < fullListSize; ++i)
        if (allOutputSets[i] == masks[index])
            return i;

    return -1;
}

int OutputSetTable::indexOfMask (juce::uint8 mask) const noexcept
{
    for (int i = 0; i < count; ++i)
        if (masks[i] == mask)
            return i;

    return -1;
}
