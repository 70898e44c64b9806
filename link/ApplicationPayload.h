#pragma once

#include <juce_core/juce_core.h>

// The payload that the amplifier stores beside its settings: a zlib stream holding the program
// revision (32-bit little-endian), the element's XML text on one line without a declaration
// (UTF-8) and a NUL.

juce::MemoryBlock createApplicationPayload (const juce::XmlElement& element, int revision);
// The same around text that is already written (whatever it holds).
juce::MemoryBlock createApplicationPayload (const void* text, size_t size, int revision);

// The element of a payload, or null when it does not decompress or its text is not XML. The
// revision it was written with is stored in revision when that is given.
std::unique_ptr<juce::XmlElement> parseApplicationPayload (const juce::MemoryBlock& payload,
                                                           int* revision = nullptr);
