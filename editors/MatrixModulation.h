#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <memory>

// The MATRIXMOD element through which a GPI source selector switches the
// amplifier between up to four matrix steps by the voltage at its input. It
// lives in the device's CORVADINE element only while the GPI's function is
// Source Selector; when the function changes away, the element is taken out of
// the document and kept here (parked), so that returning to Source Selector on
// the same page restores the steps the user edited.
//
// Layout for GPI index g: MATRIXMOD "MatrixMod<g+1>" Id 2g+20 holding a source
// EFFECT, then for k = 1..4 "Interval Values k" (Id 2k-1, XMIN/XMAX in ADC
// steps) followed by "Matrix Step k" (Id 2k, a copy of the first matrix preset).
class MatrixModulation
{
public:
    static constexpr int positions = 4;
    static constexpr int unusedInterval = 2048; // a position that is not wired
    static constexpr int adcMaximum = 1023;

    struct Interval
    {
        int lower = unusedInterval, upper = unusedInterval;
    };
    using Intervals = std::array<Interval, positions>;

    // The CORVADINE element may be null (then nothing is ever written). The preset
    // is the first category-4 document; its first child element is the matrix
    // every generated step starts from. Both are borrowed.
    MatrixModulation (juce::XmlElement* corvadine, int gpiIndex, const juce::XmlElement* firstMatrixPreset);
    ~MatrixModulation();

    enum class Change
    {
        none,
        madeLive, // found, restored or generated: editors may now point into it
        removed   // taken out of the document: nothing may point into it any more
    };

    // Source Selector on: makes a live element (restoring a parked one first,
    // else the document's, else a generated one). Off: parks and removes it.
    Change update (bool sourceSelector);

    // The element in the document; null while the function is not Source Selector
    // or when there is nothing to write into.
    juce::XmlElement* getLive() const noexcept { return live; }

    // Replaces a live element that lacks any matrix step by a generated one.
    // True when the live element then holds all four steps.
    bool ensureSteps();

    // The live element was generated here rather than found in the document or
    // restored: its steps started from the first preset, not from what the
    // positions name.
    bool holdsGeneratedSteps() const noexcept { return live != nullptr && generated; }

    // "Matrix Step k" (k = 1..4) of the live element; null when missing.
    juce::XmlElement* findStep (int k) const;
    // The Id of the first PARAMETER of step k: 3, 21, 39, 57.
    static int firstParameterIdOfStep (int k) noexcept { return 18 * (k - 1) + 3; }

    // Rewrites XMIN and XMAX of the four intervals from the knob values; a
    // missing interval or bound is skipped.
    void writeIntervals (const std::array<int, positions>& values,
                         const std::array<bool, positions>& enabled);

    // Each enabled position owns the band around its value, up to half-way
    // (less one step) to the next higher one; disabled positions get 2048.
    static Intervals computeIntervals (const std::array<int, positions>& values,
                                       const std::array<bool, positions>& enabled);
    // ADC steps as volts with one decimal: 752 gives "2.4V".
    static juce::String intervalText (int steps);

private:
    void generate();
    int elementId() const noexcept { return 2 * gpiIndex + 20; }

    juce::XmlElement* const corvadine;
    const int gpiIndex;
    const juce::XmlElement* const firstMatrixPreset;
    juce::XmlElement* live = nullptr;         // owned by the document
    bool generated = false;                   // live came from generate()
    std::unique_ptr<juce::XmlElement> parked; // owned here while off the document

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MatrixModulation)
};
