#pragma once

#include <juce_core/juce_core.h>
#include <vector>

// The horizontal kerning of a font's 'kern' table, read as FreeType reads it for FT_Get_Kerning:
// format-0 subtables of horizontal, non-minimum kerning (at most 32, up to the first that is too
// short), whose values add up unless a subtable overrides the ones before it. Reading the pairs
// of one glyph from the table spares asking FreeType about every other glyph of the font.
class KerningTable
{
public:
    // The raw bytes of the table; an empty or broken table holds no kerning.
    KerningTable (const void* data, size_t size);

    bool isEmpty() const noexcept { return subtables.empty(); }

    // Calls back, in glyph order, for every right glyph whose kerning after the left glyph is not 0.
    void forEachKerningAfter (juce::uint32 leftGlyph,
                              const std::function<void (juce::uint32 rightGlyph, int value)>& callback) const;

private:
    struct Pair
    {
        juce::uint32 key; // left glyph << 16 | right glyph
        int value;
    };

    struct Subtable
    {
        bool overrides = false;
        std::vector<Pair> pairs; // sorted by key; of equal keys the first in the table comes first
    };

    static int valueIn (const Subtable& subtable, juce::uint32 key);

    std::vector<Subtable> subtables;
};
