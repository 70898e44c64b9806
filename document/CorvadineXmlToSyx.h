#pragma once

#include <juce_core/juce_core.h>

// Writes the binary settings block that the amplifier stores from a CORVADINE settings document.
//
// Block: big-endian 32-bit words grouped into records, one record per run of consecutively
// numbered PARAMETERs of one child element, in document order, then the end word 01 00 00 00.
// Record header bytes, most significant first: count + 1, type (1 EFFECT, 2 MODIFIER and
// MATRIXMOD, 3 CONTROLS, 0 any other tag), element Id (low 8 bits), first parameter Id (low
// 8 bits); then one word per StepValue, two's complement.
//
// The block holds at most 16384 bytes. A record that would pass that is left out whole and the
// conversion goes on, so a later, smaller record may still fit; the end word obeys the same
// ceiling. Such a block lacks values, so convertAndWrite() reports it and callers must not send it.
class CorvadineXmlToSyx
{
public:
    static constexpr int maxBlockBytes = 16384;
    // The count byte holds count + 1, so a record carries at most 254 values; a longer run is
    // split and the next record's first Id continues the numbering.
    static constexpr int maxValuesPerRecord = 254;
    static constexpr juce::uint32 endWord = 0x01000000;

    enum RecordType
    {
        otherType = 0,
        effectType = 1,
        modifierType = 2,
        controlsType = 3
    };

    // The element must outlive every call of convertAndWrite().
    explicit CorvadineXmlToSyx (const juce::XmlElement& corvadine);

    // Converts the whole document and writes the used bytes in one write. The block is written
    // even when records were left out; the result is false then, or when the stream failed.
    bool convertAndWrite (juce::OutputStream& output);

    // Records (the end word counting as one) left out of the last block for want of room.
    int getNumDroppedRecords() const noexcept { return numDroppedRecords; }

    // Turns one child of the root into zero or more records.
    void convertElement (const juce::XmlElement& element);

    // Appends count values as records of at most maxValuesPerRecord values each; the first Ids
    // of the later ones continue the numbering.
    void writeRecord (int type, int elementId, int firstParameterId, const int* values, int count);

    // Appends a record given as its words (the header first; its top byte gives the number of
    // words) when it fits under the ceiling; false when it was left out.
    bool appendWords (const juce::uint32* words);

    // Root attributes, read once at construction; none of them enters the block.
    const juce::String& getName() const noexcept { return name; }
    const juce::String& getProductName() const noexcept { return productName; }
    int getProductModelId() const noexcept { return productModelId; }
    int getSvnRev() const noexcept { return svnRev; }
    int getCorvadineRev() const noexcept { return corvadineRev; }
    const juce::String& getDescription() const noexcept { return description; }

private:
    void writeRuns (int type, int elementId, const juce::XmlElement& element, bool flattenChildren);

    const juce::XmlElement& root;
    juce::String name, productName;
    int productModelId = 0, svnRev = 0, corvadineRev = 0;
    // Pooled once per converter, so that every lookup below compares pointers, not text.
    const juce::Identifier idName{ "Id" }, stepValueName{ "StepValue" }, parameterTag{ "PARAMETER" };
    const juce::String description{ "CorvadineXmlToSyx class.  XML File SVN" };

    juce::uint8 block[maxBlockBytes];
    int numBytesUsed = 0;
    int numDroppedRecords = 0;

    // One record under construction, and the values of the run being collected.
    juce::uint32 recordWords[1 + maxValuesPerRecord];
    std::vector<int> runValues;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CorvadineXmlToSyx)
};
