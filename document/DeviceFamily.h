#pragma once

#include <juce_core/juce_core.h>
#include "document/PresetLibrary.h"

// One row of the built-in table of amplifier families, copied by value. The name is
// also the value of a Device element's "model" attribute. Lookups that find
// nothing give the empty row: an empty name and all numbers 0.
struct DeviceFamily
{
    static constexpr int numFamilies = 3;

    juce::String name;
    int id = 0;
    int inputs = 0;
    int outputs = 0;
    int gpis = 0;
    int gpos = 0;

    static DeviceFamily fromId (int id);
    // Exact, case-sensitive match of the name.
    static DeviceFamily fromName (const juce::String& name);
    // 0 to 2, or -1 when no row has exactly this name.
    static int indexOfName (const juce::String& name);
    static bool isValidId (int id);
    static bool exists (const juce::String& name);

    // One bit per output, lowest bit for output 1: 3 for "ZELTA", 15 for "ZELTA M",
    // 1 for "ZELTA 70", 0 for the empty row.
    int getOutputMask() const;
};

// Deep copies of the matrix presets (category 4) whose MinInChs and MinOutChs
// (missing: 0) do not exceed the given counts, in library order.
juce::OwnedArray<juce::XmlElement> collectMatrixPresets (int inputs, int outputs,
                                                         const PresetLibrary& library);
