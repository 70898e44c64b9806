#include <gtest/gtest.h>
#include <vector>
#include "document/CorvadineXmlToSyx.h"

namespace
{
using Bytes = std::vector<int>;

struct Conversion
{
    bool complete = false;
    int numDropped = 0;
    Bytes bytes;
};

Conversion convert (const juce::XmlElement& document)
{
    CorvadineXmlToSyx converter (document);
    juce::MemoryOutputStream stream;
    Conversion result;
    result.complete = converter.convertAndWrite (stream);
    result.numDropped = converter.getNumDroppedRecords();

    auto* data = static_cast<const juce::uint8*> (stream.getData());
    result.bytes.assign (data, data + stream.getDataSize());
    return result;
}

Conversion convert (const char* text)
{
    auto document = juce::parseXML (juce::String (text));
    EXPECT_NE (document, nullptr);
    return document != nullptr ? convert (*document) : Conversion();
}

Bytes concat (std::initializer_list<Bytes> parts)
{
    Bytes all;

    for (auto& part : parts)
        all.insert (all.end(), part.begin(), part.end());

    return all;
}

Bytes word (juce::uint32 value)
{
    return { (int)(value >> 24), (int)((value >> 16) & 0xff), (int)((value >> 8) & 0xff),
             (int)(value & 0xff) };
}

const Bytes endWord{ 0x01, 0x00, 0x00, 0x00 };

// An EFFECT with count parameters numbered from firstId, StepValue = Id * 3.
void addEffect (juce::XmlElement& root, int id, int firstId, int count)
{
    auto* effect = root.createNewChildElement ("EFFECT");
    effect->setAttribute ("Name", "E");
    effect->setAttribute ("Id", id);

    for (int i = firstId; i < firstId + count; ++i)
    {
        auto* parameter = effect->createNewChildElement ("PARAMETER");
        parameter->setAttribute ("Id", i);
        parameter->setAttribute ("StepValue", i * 3);
    }
}
} // namespace

TEST (CorvadineXmlToSyx, WritesTheHandWorkedRecords)
{
    EXPECT_EQ (convert ("<CORVADINE Name=\"X\" CorvadineRev=\"2\"/>").bytes, endWord);

    EXPECT_EQ (convert ("<CORVADINE><EFFECT Name=\"Delay1 Preset\" Id=\"88\">"
                        "<PARAMETER Name=\"Time\" Id=\"0\" DisplayValue=\"0 ms\" StepValue=\"5\"/>"
                        "</EFFECT></CORVADINE>")
                   .bytes,
               concat ({ { 0x02, 0x01, 0x58, 0x00, 0x00, 0x00, 0x00, 0x05 }, endWord }));

    EXPECT_EQ (convert ("<CORVADINE><EFFECT Name=\"Apm1 Preset\" Id=\"34\">"
                        "<PARAMETER Name=\"V Lim\" Id=\"7\" StepValue=\"500\"/></EFFECT></CORVADINE>")
                   .bytes,
               concat ({ { 0x02, 0x01, 0x22, 0x07, 0x00, 0x00, 0x01, 0xF4 }, endWord }));

    // Two's complement, and a MODIFIER keeps its type.
    EXPECT_EQ (
        convert ("<CORVADINE><MODIFIER Id=\"46\"><PARAMETER Id=\"0\" StepValue=\"-24\"/>"
                 "<PARAMETER Id=\"1\" StepValue=\"-200\"/></MODIFIER></CORVADINE>")
            .bytes,
        concat ({ { 0x03, 0x02, 0x2E, 0x00, 0xFF, 0xFF, 0xFF, 0xE8, 0xFF, 0xFF, 0xFF, 0x38 }, endWord }));

    // Element and parameter Ids travel as their low 8 bits; CONTROLS are type 3.
    EXPECT_EQ (
        convert ("<CORVADINE><EFFECT Id=\"300\"><PARAMETER Id=\"257\" StepValue=\"1\"/></EFFECT>"
                 "<CONTROLS Id=\"0\"><PARAMETER Id=\"1\" StepValue=\"2\"/></CONTROLS></CORVADINE>")
            .bytes,
        concat ({ { 0x02, 0x01, 0x2C, 0x01, 0, 0, 0, 1 }, { 0x02, 0x03, 0x00, 0x01, 0, 0, 0, 2 }, endWord }));
}

TEST (CorvadineXmlToSyx, SixteenBandValuesMakeOneRecord)
{
    juce::XmlElement root ("CORVADINE");
    addEffect (root, 22, 0, 16);

    Bytes expected{ 0x11, 0x01, 0x16, 0x00 };

    for (int i = 0; i < 16; ++i)
        expected = concat ({ expected, word ((juce::uint32) (i * 3)) });

    const auto result = convert (root);
    EXPECT_TRUE (result.complete);
    EXPECT_EQ (result.bytes, concat ({ expected, endWord }));
}

TEST (CorvadineXmlToSyx, GapsInTheNumberingStartNewRecords)
{
    // 0, 1, 2, 5, 6: a jump.
    EXPECT_EQ (convert ("<CORVADINE><EFFECT Id=\"1\">"
                        "<PARAMETER Id=\"0\" StepValue=\"10\"/><PARAMETER Id=\"1\" StepValue=\"11\"/>"
                        "<PARAMETER Id=\"2\" StepValue=\"12\"/><PARAMETER Id=\"5\" StepValue=\"15\"/>"
                        "<PARAMETER Id=\"6\" StepValue=\"16\"/></EFFECT></CORVADINE>")
                   .bytes,
               concat ({ { 0x04, 0x01, 0x01, 0x00, 0, 0, 0, 10, 0, 0, 0, 11, 0, 0, 0, 12 },
                         { 0x03, 0x01, 0x01, 0x05, 0, 0, 0, 15, 0, 0, 0, 16 },
                         endWord }));

    // 7, 4: a step back; 3, 3: a repeat.
    EXPECT_EQ (convert ("<CORVADINE><EFFECT Id=\"34\"><PARAMETER Id=\"7\" StepValue=\"1\"/>"
                        "<PARAMETER Id=\"4\" StepValue=\"2\"/></EFFECT>"
                        "<EFFECT Id=\"2\"><PARAMETER Id=\"3\" StepValue=\"3\"/>"
                        "<PARAMETER Id=\"3\" StepValue=\"4\"/></EFFECT></CORVADINE>")
                   .bytes,
               concat ({ { 0x02, 0x01, 0x22, 0x07, 0, 0, 0, 1 },
                         { 0x02, 0x01, 0x22, 0x04, 0, 0, 0, 2 },
                         { 0x02, 0x01, 0x02, 0x03, 0, 0, 0, 3 },
                         { 0x02, 0x01, 0x02, 0x03, 0, 0, 0, 4 },
                         endWord }));
}

TEST (CorvadineXmlToSyx, DefaultsForMissingAndForeignContent)
{
    // No Id or a negative Id: no record. A missing or non-numeric StepValue is 0, a missing
    // parameter Id is 0, children that are not PARAMETERs do not count, and a tag that is not
    // one of the four (compared as written) gives a type-0 record.
    EXPECT_EQ (convert ("<CORVADINE><EFFECT Name=\"none\"><PARAMETER Id=\"0\" StepValue=\"9\"/></EFFECT>"
                        "<EFFECT Id=\"-3\"><PARAMETER Id=\"0\" StepValue=\"9\"/></EFFECT>"
                        "<EFFECT Id=\"5\"/>"
                        "<EFFECT Id=\"6\"><PARAMETER StepValue=\"abc\"/><NOTE Id=\"1\" StepValue=\"7\"/>"
                        "<PARAMETER Id=\"1\"/></EFFECT>"
                        "<Effect Id=\"7\"><PARAMETER Id=\"0\" StepValue=\"8\"/></Effect></CORVADINE>")
                   .bytes,
               concat ({ { 0x03, 0x01, 0x06, 0x00, 0, 0, 0, 0, 0, 0, 0, 0 },
                         { 0x02, 0x00, 0x07, 0x00, 0, 0, 0, 8 },
                         endWord }));

    // Numbers past 32 bits wrap instead of overflowing.
    EXPECT_EQ (
        convert ("<CORVADINE><EFFECT Id=\"1\"><PARAMETER Id=\"0\" StepValue=\"-2147483648\"/>"
                 "<PARAMETER Id=\"1\" StepValue=\"4294967295\"/><PARAMETER Id=\"2\" StepValue=\" 12ab\"/>"
                 "</EFFECT></CORVADINE>")
            .bytes,
        concat ({ { 0x04, 0x01, 0x01, 0x00, 0x80, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 12 }, endWord }));
}

TEST (CorvadineXmlToSyx, MatrixModTravelsAsOneModifierRecord)
{
    juce::XmlElement root ("CORVADINE");
    auto* matrixMod = root.createNewChildElement ("MATRIXMOD");
    matrixMod->setAttribute ("Name", "MatrixMod2");
    matrixMod->setAttribute ("Id", 22);

    auto addParameters = [] (juce::XmlElement& effect, int first, int count)
    {
        for (int i = first; i < first + count; ++i)
        {
            auto* parameter = effect.createNewChildElement ("PARAMETER");
            parameter->setAttribute ("Id", i);
            parameter->setAttribute ("StepValue", 1000 + i);
        }
    };

    addParameters (*matrixMod->createNewChildElement ("EFFECT"), 0, 1);

    for (int k = 0; k < 4; ++k)
    {
        auto* pair = matrixMod->createNewChildElement ("EFFECT");
        pair->setAttribute ("Id", 2 * k + 1);
        addParameters (*pair, 18 * k + 1, 2);
        auto* steps = matrixMod->createNewChildElement ("EFFECT");
        steps->setAttribute ("Id", 2 * k + 2);
        addParameters (*steps, 18 * k + 3, 16);
    }

    Bytes expected{ 0x4A, 0x02, 0x16, 0x00 };

    for (int i = 0; i < 73; ++i)
        expected = concat ({ expected, word ((juce::uint32) (1000 + i)) });

    EXPECT_EQ (convert (root).bytes, concat ({ expected, endWord }));
}

TEST (CorvadineXmlToSyx, LongRunsAreSplitWithoutLosingValues)
{
    juce::XmlElement root ("CORVADINE");
    addEffect (root, 9, 0, 300);

    const auto result = convert (root);
    ASSERT_TRUE (result.complete);
    ASSERT_EQ (result.bytes.size(), (size_t)(4 * (255 + 47 + 1)));

    // 254 values from Id 0, then 46 values from Id 254.
    EXPECT_EQ (Bytes (result.bytes.begin(), result.bytes.begin() + 4), (Bytes{ 0xFF, 0x01, 0x09, 0x00 }));
    EXPECT_EQ (Bytes (result.bytes.begin() + 4 * 254, result.bytes.begin() + 4 * 255), word (253 * 3));
    EXPECT_EQ (Bytes (result.bytes.begin() + 4 * 255, result.bytes.begin() + 4 * 257),
               concat ({ { 0x2F, 0x01, 0x09, 0xFE }, word (254 * 3) }));
    EXPECT_EQ (Bytes (result.bytes.end() - 8, result.bytes.end()), concat ({ word (299 * 3), endWord }));
}

TEST (CorvadineXmlToSyx, RecordsPastTheCeilingAreLeftOutAndReported)
{
    // Sixteen records of 255 words fill 16320 bytes.
    juce::XmlElement root ("CORVADINE");

    for (int i = 0; i < 16; ++i)
        addEffect (root, i, 0, 254);

    addEffect (root, 100, 0, 20); // 84 bytes: does not fit
    addEffect (root, 101, 0, 14); // 60 bytes: still fits, and the end word after it

    const auto result = convert (root);
    EXPECT_FALSE (result.complete);
    EXPECT_EQ (result.numDropped, 1);
    ASSERT_EQ (result.bytes.size(), (size_t)CorvadineXmlToSyx::maxBlockBytes);
    EXPECT_EQ (Bytes (result.bytes.begin() + 16320, result.bytes.begin() + 16324),
               (Bytes{ 0x0F, 0x01, 101, 0x00 }));
    EXPECT_EQ (Bytes (result.bytes.end() - 4, result.bytes.end()), endWord);

    // A block filled to the last byte has no room for the end word: that is reported too.
    juce::XmlElement full ("CORVADINE");

    for (int i = 0; i < 16; ++i)
        addEffect (full, i, 0, 254);

    addEffect (full, 100, 0, 15);

    const auto withoutEnd = convert (full);
    EXPECT_FALSE (withoutEnd.complete);
    EXPECT_EQ (withoutEnd.numDropped, 1);
    ASSERT_EQ (withoutEnd.bytes.size(), (size_t)CorvadineXmlToSyx::maxBlockBytes);
    EXPECT_EQ (Bytes (withoutEnd.bytes.end() - 4, withoutEnd.bytes.end()), word (14 * 3));
}

TEST (CorvadineXmlToSyx, EachConversionStartsAfresh)
{
    juce::XmlElement root ("CORVADINE");

    for (int i = 0; i < 17; ++i)
        addEffect (root, i, 0, 254);

    CorvadineXmlToSyx converter (root);
    juce::MemoryOutputStream first, second;
    EXPECT_FALSE (converter.convertAndWrite (first));
    EXPECT_FALSE (converter.convertAndWrite (second));
    EXPECT_EQ (converter.getNumDroppedRecords(), 1); // the 17th record; the end word still fits
    EXPECT_EQ (first.getMemoryBlock(), second.getMemoryBlock());

    root.deleteAllChildElements();
    addEffect (root, 1, 0, 1);
    juce::MemoryOutputStream third;
    EXPECT_TRUE (converter.convertAndWrite (third));
    EXPECT_EQ (converter.getNumDroppedRecords(), 0);
    EXPECT_EQ (third.getDataSize(), (size_t)12);
}
