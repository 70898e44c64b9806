#include "link/SysexPacking.h"

int pack8to7 (juce::uint8* destination, const juce::uint8* source, int length)
{
    int written = 0;
    int position = 0;

    // Whole groups of seven, unrolled: this runs over every byte of every frame.
    for (; position + 7 <= length; position += 7)
    {
        const auto* s = source + position;
        auto* d = destination + written;
        d[0] = (juce::uint8) (((s[0] & 0x80) >> 1) | ((s[1] & 0x80) >> 2) | ((s[2] & 0x80) >> 3) |
                              ((s[3] & 0x80) >> 4) | ((s[4] & 0x80) >> 5) | ((s[5] & 0x80) >> 6) |
                              ((s[6] & 0x80) >> 7));
        for (int i = 0; i < 7; ++i)
            d[i + 1] = (juce::uint8) (s[i] & 0x7f);
        written += 8;
    }

    // The last 1 to 6 bytes.
    if (position < length)
    {
        const int headerPosition = written++;
        unsigned header = 0;

        for (int i = 0; position < length; ++i, ++position)
        {
            const unsigned byte = source[position];
            header |= (byte >> 7) << (6 - i);
            destination[written++] = (juce::uint8) (byte & 0x7f);
        }

        destination[headerPosition] = (juce::uint8)header;
    }

    return written;
}

int unpack7to8 (juce::uint8* destination, const juce::uint8* source, int length)
{
    int written = 0;
    int position = 0;

    while (position < length)
    {
        const auto header = source[position++];
        for (int i = 0; i < 7 && position < length; ++i)
        {
            auto byte = source[position++];
            if ((header & (1 << (6 - i))) != 0)
                byte = (juce::uint8) (byte | 0x80);
            destination[written++] = byte;
        }
    }

    return written;
}

void storeBigEndian32 (juce::uint8* destination, juce::uint32 value)
{
    destination[0] = (juce::uint8) (value >> 24);
    destination[1] = (juce::uint8) (value >> 16);
    destination[2] = (juce::uint8) (value >> 8);
    destination[3] = (juce::uint8)value;
}
