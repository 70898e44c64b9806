#pragma once

#include <juce_core/juce_core.h>
#include <memory>

// EQ preset files: where they are kept, the preset document they hold, and
// the conversion of the older preset format. A preset document is a CORVADINE
// root whose first child is the EQ effect ("PEQ1 Preset" for input presets,
// "EQ1 Preset" for output presets) and, for output presets written by the EQ
// dialog, whose second child is the limiter effect.

constexpr int inputEqPresetCategory = 6;
constexpr int outputEqPresetCategory = 2;
// The EQ effect's parameters: type, gain, frequency and width of four bands.
constexpr int numEqBandParameters = 16;

// The limiter effect of output presets ("Apm1 Preset"): the peak voltage and the
// speaker impedance, both in tenths, within the ranges the EQ dialog offers.
constexpr int limiterVoltageId = 7;
constexpr int limiterImpedanceId = 4;
constexpr int maxLimiterVoltageTenths = 500;
constexpr int minLimiterImpedanceTenths = 20;
constexpr int maxLimiterImpedanceTenths = 160;

// "Input EQ Presets" and "Output EQ Presets" in the applications folder under
// the given Documents folder; created when missing, returned in any case.
juce::File getInputEqPresetsFolder (
    const juce::File& documentsFolder = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));
juce::File getOutputEqPresetsFolder (
    const juce::File& documentsFolder = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));

// A new preset document named `name` (kept as given, whatever it holds) with a
// copy of the element as its only child.
std::unique_ptr<juce::XmlElement> wrapInCorvadineDocument (const juce::XmlElement& element,
                                                           const juce::String& name);

// Gives the effect the name and Id that a preset of the category holds: those
// of channel 1's EQ effect ("PEQ1 Preset" 12 for input presets, "EQ1 Preset"
// 22 for output presets), whichever channel the curve came from.
void nameAsPresetEqEffect (juce::XmlElement& effect, int category);
// The same for the limiter effect: channel 1's "Apm1 Preset" 34.
void nameAsPresetLimiter (juce::XmlElement& limiter);
// Named as that limiter: only such an effect of a preset stands in for a device's limiter.
bool isPresetLimiter (const juce::XmlElement& effect);

// The EQ effect of an older "ZELTA_EQPRESET" document of revision 1 for the
// category (6 input, 2 output). Nothing unless the document gives all sixteen
// rows in order, each type a known one and each value a number the row can
// take: an EQ that is only partly known must never reach an amplifier.
std::unique_ptr<juce::XmlElement> convertLegacyEqPreset (const juce::XmlElement& root, int category);

// The first child that is an element, not text; null when there is none.
juce::XmlElement* getFirstChildEffect (const juce::XmlElement& parent);
// The next sibling that is an element; null when there is none.
juce::XmlElement* getNextEffect (const juce::XmlElement& effect);

// True when the document is a preset of the category as the EQ dialog writes
// it: a CORVADINE root whose first child is the category's EQ effect holding
// the sixteen band parameters in order, each step one its row of the EQ band
// table can take; for output presets optionally followed by the limiter
// holding the peak voltage, then the impedance, each in range and each
// perhaps left out (a limiter of the family without a voltage limit holds
// none); nothing else.
// Preset files are shared between installers: nothing less reaches a device.
bool isUsableEqPreset (const juce::XmlElement& document, int category);

// The preset document of a whole preset file (scrambled or plain, current or
// older format) for the category; null when the file holds no usable preset.
std::unique_ptr<juce::XmlElement> readEqPresetFile (const juce::MemoryBlock& wholeFile, int category);
// The same for a file; a file too large to be a preset is not read at all.
std::unique_ptr<juce::XmlElement> readEqPresetFile (const juce::File& file, int category);
