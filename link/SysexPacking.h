#pragma once

#include <juce_core/juce_core.h>

// 8-to-7-bit packing of SysEx payloads. Each group of up to 7 payload bytes goes out as one header
// byte holding their top bits (bit 6 for the first byte down to bit 0 for the seventh) followed by
// the bytes with bit 7 cleared; k bytes become k + ceil (k / 7) wire bytes.

// Number of wire bytes that length payload bytes pack into.
constexpr int packedSize (int length)
{
    return length + (length + 6) / 7;
}

// Packs length bytes into destination, which must hold packedSize (length) bytes; returns the
// number of bytes written.
int pack8to7 (juce::uint8* destination, const juce::uint8* source, int length);

// Unpacks length wire bytes into destination, which must hold length bytes; returns the number of
// payload bytes written. A header byte with nothing after it yields nothing.
int unpack7to8 (juce::uint8* destination, const juce::uint8* source, int length);

// Writes value as four bytes, most significant first.
void storeBigEndian32 (juce::uint8* destination, juce::uint32 value);
