#include "look/KerningTable.h"

#include <algorithm>

namespace
{
juce::uint32 readUnsigned (const juce::uint8* p)
{
    return (juce::uint32) ((p[0] << 8) | p[1]);
}

int readSigned (const juce::uint8* p)
{
    return (int)(juce::int16)readUnsigned (p);
}

constexpr size_t maxSubtables = 32;
constexpr juce::uint32 horizontalBit = 1, minimumBit = 2, overrideBit = 8;
constexpr size_t subtableHeaderSize = 6, formatZeroHeaderSize = 8, pairSize = 6;
} // namespace

KerningTable::KerningTable (const void* data, size_t size)
{
    if (data == nullptr || size < 4)
        return;

    const auto* table = static_cast<const juce::uint8*> (data);
    const auto* end = table + size;
    const auto numSubtables = std::min ((size_t)readUnsigned (table + 2), maxSubtables);
    const auto* p = table + 4;

    for (size_t n = 0; n < numSubtables && p + subtableHeaderSize <= end; ++n)
    {
        const auto length = (size_t)readUnsigned (p + 2);
        const auto coverage = readUnsigned (p + 4);

        // A subtable too short to hold any pair ends the table.
        if (length <= subtableHeaderSize + formatZeroHeaderSize)
            break;

        const auto* next = std::min (p + length, end);
        const auto* pairs = p + subtableHeaderSize;

        if ((coverage >> 8) == 0 && (coverage & (horizontalBit | minimumBit)) == horizontalBit &&
            pairs + formatZeroHeaderSize <= next)
        {
            auto numPairs = (size_t)readUnsigned (pairs);
            pairs += formatZeroHeaderSize;
            numPairs = std::min (numPairs, (size_t)(next - pairs) / pairSize);

            Subtable subtable;
            subtable.overrides = (coverage & overrideBit) != 0;
            subtable.pairs.reserve (numPairs);

            for (size_t i = 0; i < numPairs; ++i, pairs += pairSize)
                subtable.pairs.push_back (
                    { (readUnsigned (pairs) << 16) | readUnsigned (pairs + 2), readSigned (pairs + 4) });

            std::stable_sort (subtable.pairs.begin(), subtable.pairs.end(),
                              [] (const Pair& a, const Pair& b) { return a.key < b.key; });
            subtables.push_back (std::move (subtable));
        }

        p = next;
    }
}

int KerningTable::valueIn (const Subtable& subtable, juce::uint32 key)
{
    const auto found = std::lower_bound (subtable.pairs.begin(), subtable.pairs.end(), key,
                                         [] (const Pair& pair, juce::uint32 k) { return pair.key < k; });
    return found != subtable.pairs.end() && found->key == key ? found->value : 0;
}

void KerningTable::forEachKerningAfter (juce::uint32 leftGlyph,
                                        const std::function<void (juce::uint32, int)>& callback) const
{
    // Right glyphs that any subtable pairs with the left one; the others have no kerning.
    std::vector<juce::uint32> rightGlyphs;
    const auto first = (leftGlyph & 0xffff) << 16;

    for (const auto& subtable : subtables)
        for (auto pair = std::lower_bound (subtable.pairs.begin(), subtable.pairs.end(), first,
                                           [] (const Pair&p, juce::uint32 k) { return p.key < k; });
             pair != subtable.pairs.end() && (pair->key >> 16) == (leftGlyph & 0xffff); ++pair)
            rightGlyphs.push_back (pair->key & 0xffff);

    std::sort (rightGlyphs.begin(), rightGlyphs.end());
    rightGlyphs.erase (std::unique (rightGlyphs.begin(), rightGlyphs.end()), rightGlyphs.end());

    for (const auto right : rightGlyphs)
    {
        int kerning = 0;

        for (const auto& subtable : subtables)
        {
            const auto value = valueIn (subtable, first | right);
            kerning = subtable.overrides ? value : kerning + value;
        }

        if (kerning != 0)
            callback (right, kerning);
    }
}
