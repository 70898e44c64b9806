#pragma once

#include <array>
#include <memory>
#include <juce_core/juce_core.h>

// Rebuilds a CORVADINE settings document from a binary settings block read back from the
// amplifier (the block format is described in CorvadineXmlToSyx.h).
//
// The result is the default settings document with one child per element, in block order:
// type 1 EFFECT, type 2 MODIFIER (MATRIXMOD, see below), type 3 CONTROLS, each with only its Id;
// its PARAMETERs carry only Id and StepValue and are numbered from the first parameter id of
// their record. The writer splits an element at every gap in its numbering (an Apm effect holding
// parameters 7 and 4 becomes two records), so a record of the same type and element id as the
// record before it is joined to that element: written again, the document gives the same block.
// Records of any other type are skipped. Names and display texts are not in the block and do not
// come back.
//
// Input the amplifier does not send, and what comes of it:
// - More than 16384 bytes: only the first 16384 are read; wasTruncated() tells that the rest was
//   ignored.
// - A last word of 1 to 3 bytes is stored as 0.
// - The walk ends at a header whose top byte (count + 1) is 0, or after the last stored word.
// - A record whose words run past the stored words is not decoded and ends the walk; the
//   elements before it are kept and hasIncompleteRecord() tells what happened.
// - A record without values adds nothing (the writer never makes one).
// - A type-2 element with element id 20 or more becomes a MATRIXMOD once it holds exactly the
//   73 values of the matrix modulation, numbered 0 to 72 (an EFFECT with Id 0 holding parameter
//   0, then for k = 0..3 an EFFECT 2k+1 with parameters 18k+1, 18k+2 and an EFFECT 2k+2 with
//   parameters 18k+3 .. 18k+18). Otherwise it stays a MODIFIER holding its own values, so that
//   modifiers with high Ids come back as they were written. Nothing is joined to a MATRIXMOD.
// Garbage therefore gives a document of whatever records it seems to hold, never a read
// outside the block.
class SettingsSyxToXml
{
public:
    static constexpr int maxBlockBytes = 16384;
    static constexpr int maxWords = maxBlockBytes / 4;
    static constexpr int maxRecords = 16385;
    static constexpr int firstMatrixModId = 20;
    static constexpr int matrixModValues = 73;

    // Reads the stream (at most maxBlockBytes of it) into the word buffer.
    explicit SettingsSyxToXml (juce::InputStream& input);

    // A new document built from the block; call it any number of times, the stream is not
    // read again.
    std::unique_ptr<juce::XmlElement> createXml();

    // Appends the element of the record whose header is at the given word to root (or joins it
    // to root's last element, see above) and returns the record's number of words (the header's
    // top byte; 0 past the stored words). A record that runs past the stored words appends
    // nothing.
    int decodeRecord (int position, juce::XmlElement& root);

    // Appends count PARAMETERs numbered from firstParameterId with the values of the words from
    // position on; only stored words are read.
    void addParameters (juce::XmlElement& element, int position, int count, int firstParameterId);

    // True when the stream held more than maxBlockBytes.
    bool wasTruncated() const noexcept { return truncated; }

    // True when the last createXml() met a record running past the stored words.
    bool hasIncompleteRecord() const noexcept { return incompleteRecord; }

private:
    // Decimal text of a number; the small ones (all Ids, most steps) are made once per reader.
    const juce::String& getNumberText (int number);
    static juce::XmlElement* getLastChildElement (juce::XmlElement& root);
    juce::XmlElement* createElement (const juce::Identifier& tag, int id);
    bool holdsMatrixModValues (const juce::XmlElement& modifier);
    // A new MATRIXMOD holding the modifier's parameters, which it takes away from the modifier.
    juce::XmlElement* createMatrixMod (juce::XmlElement& modifier);

    std::array<juce::uint32, maxWords> words{};
    int numBytes = 0;
    int numWords = 0;
    bool truncated = false;
    bool incompleteRecord = false;

    // Tags, names and texts that every element repeats, made once per reader and shared by
    // reference: an element made from a plain tag string looks it up in the global string pool,
    // under a lock, every time.
    const juce::Identifier effectTag{ "EFFECT" }, modifierTag{ "MODIFIER" }, matrixModTag{ "MATRIXMOD" },
        controlsTag{ "CONTROLS" }, parameterTag{ "PARAMETER" };
    const juce::Identifier idAttribute{ "Id" }, stepValueAttribute{ "StepValue" };
    static constexpr int numberTextOffset = 256;
    std::array<juce::String, 2 * numberTextOffset> numberTexts;
    juce::String uncachedText;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SettingsSyxToXml)
};
