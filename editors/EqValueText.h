#pragma once

#include <juce_core/juce_core.h>
#include <optional>

// Reading the value texts that users type into an EQ slider and that older
// preset files hold ("1.6 kHz", "1600 Hz", "1.6k", "-3 dB", "Low Shelve 6").

// The leading number of the text, scaled by an SI prefix that follows it (k for
// thousands, M for millions, in either case; "1.6 KHZ" is 1600). Nothing when
// the text does not begin with a number.
std::optional<double> readEqValueText (const juce::String& text);

// The step of the EQ band table row for the value the text gives, held to the
// row's step range. Nothing when the text holds no number or the row cannot
// take the value (a frequency of 0).
std::optional<int> stepFromValueText (const juce::String& text, int row);

// The filter type whose short name the text contains, ignoring case, the first
// in type order; -1 when the text names none.
int eqTypeIndexFromName (const juce::String& text);
