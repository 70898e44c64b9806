#include <gtest/gtest.h>
#include <vector>
#include "document/SettingsSyxToXml.h"

namespace
{
using Bytes = std::vector<juce::uint8>;

void appendWord (Bytes& bytes, juce::uint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.push_back ((juce::uint8) (value >> shift));
}

// A record header followed by the given values.
void appendRecord (Bytes& bytes, int type, int elementId, const std::vector<int>& values, int firstId = 0)
{
    appendWord (bytes, ((juce::uint32) (values.size() + 1) << 24) | ((juce::uint32)type << 16) |
                           ((juce::uint32)elementId << 8) | (juce::uint32)firstId);

    for (auto value : values)
        appendWord (bytes, (juce::uint32)value);
}

std::vector<int> sequence (int first, int count)
{
    std::vector<int> values;

    for (int i = 0; i < count; ++i)
        values.push_back (first + i);

    return values;
}

struct Reading
{
    std::unique_ptr<juce::XmlElement> document;
    bool truncated = false;
    bool incomplete = false;
};

Reading read (const Bytes& bytes)
{
    juce::MemoryInputStream stream (bytes.data(), bytes.size(), false);
    SettingsSyxToXml reader (stream);
    Reading result;
    result.document = reader.createXml();
    result.truncated = reader.wasTruncated();
    result.incomplete = reader.hasIncompleteRecord();
    return result;
}

// "Tag Id: id=value id=value ..." for each child, to compare whole documents at a glance.
std::vector<std::string> describe (const juce::XmlElement& root)
{
    std::vector<std::string> lines;

    for (auto* child : root.getChildIterator())
    {
        juce::String line = child->getTagName() + " " + child->getStringAttribute ("Id") + ":";

        for (auto* parameter : child->getChildIterator())
            line << " " << parameter->getStringAttribute ("Id") << "="
                 << parameter->getStringAttribute ("StepValue");

        lines.push_back (line.toStdString());
    }

    return lines;
}

void expectDefaultRoot (const juce::XmlElement& root)
{
    EXPECT_EQ (root.getTagName(), "CORVADINE");
    EXPECT_EQ (root.getStringAttribute ("Name"), "ZELTA Device CV");
    EXPECT_EQ (root.getStringAttribute ("ProductName"), "Zelta 120/2M");
    EXPECT_EQ (root.getStringAttribute ("Id"), "5");
}
} // namespace

TEST (SettingsSyxToXml, EmptyBlocksGiveTheDefaultDocument)
{
    for (const auto& bytes : { Bytes(), Bytes{ 0x01, 0x00, 0x00, 0x00 }, Bytes{ 0x00, 0x00, 0x00, 0x00 } })
    {
        auto result = read (bytes);
        ASSERT_NE (result.document, nullptr);
        expectDefaultRoot (*result.document);
        EXPECT_EQ (result.document->getNumChildElements(), 0);
        EXPECT_FALSE (result.truncated);
        EXPECT_FALSE (result.incomplete);
    }
}

TEST (SettingsSyxToXml, DecodesTheHandWorkedRecord)
{
    auto result = read ({ 0x02, 0x01, 0x58, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01, 0x00, 0x00, 0x00 });
    ASSERT_EQ (result.document->getNumChildElements(), 1);

    auto* effect = result.document->getChildElement (0);
    EXPECT_EQ (effect->getTagName(), "EFFECT");
    ASSERT_EQ (effect->getNumAttributes(), 1);
    EXPECT_EQ (effect->getAttributeName (0), "Id");
    EXPECT_EQ (effect->getAttributeValue (0), "88");

    ASSERT_EQ (effect->getNumChildElements(), 1);
    auto* parameter = effect->getChildElement (0);
    EXPECT_EQ (parameter->getTagName(), "PARAMETER");
    ASSERT_EQ (parameter->getNumAttributes(), 2);
    EXPECT_EQ (parameter->getAttributeName (0), "Id");
    EXPECT_EQ (parameter->getAttributeValue (0), "0");
    EXPECT_EQ (parameter->getAttributeName (1), "StepValue");
    EXPECT_EQ (parameter->getAttributeValue (1), "5");
}

TEST (SettingsSyxToXml, RecordTypesDecideTheElements)
{
    Bytes bytes;
    appendRecord (bytes, 3, 0, { 4, 5, 6 }, 1);
    appendRecord (bytes, 2, 19, { (int)0xFFFFFF38, 1 });
    appendRecord (bytes, 7, 3, { 1, 2 }); // unknown type: skipped
    appendRecord (bytes, 0, 3, {});       // type 0 in the middle: skipped as well
    appendRecord (bytes, 1, 255, { -1 }, 254);
    appendWord (bytes, 0x01000000);

    auto result = read (bytes);
    EXPECT_EQ (describe (*result.document),
               (std::vector<std::string>{ "CONTROLS 0: 1=4 2=5 3=6", "MODIFIER 19: 0=-200 1=1",
                                          "EFFECT 255: 254=-1" }));
}

TEST (SettingsSyxToXml, ExtremeValuesKeepTheirText)
{
    Bytes bytes;
    appendRecord (bytes, 1, 1, { 2147483647, (int)0x80000000, 255, 256, -256, -257 });

    auto result = read (bytes);
    EXPECT_EQ (
        describe (*result.document),
        (std::vector<std::string>{ "EFFECT 1: 0=2147483647 1=-2147483648 2=255 3=256 4=-256 5=-257" }));
}

TEST (SettingsSyxToXml, RecordsOfOneElementAreJoined)
{
    // The writer splits at every gap in the numbering; only a record continuing the element of
    // the record before it (same type and element id) is joined.
    Bytes bytes;
    appendRecord (bytes, 1, 34, { 400 }, 7);
    appendRecord (bytes, 1, 34, { 80 }, 4);
    appendRecord (bytes, 2, 34, { 1 }, 0);
    appendRecord (bytes, 1, 36, { 300 }, 7);
    appendRecord (bytes, 1, 34, { 2, 3 }, 0);
    appendRecord (bytes, 3, 0, { 5 }, 1);
    appendRecord (bytes, 1, 40, {}); // a record without values adds nothing
    appendRecord (bytes, 3, 0, { 6, 7 }, 3);
    appendWord (bytes, 0x01000000);

    EXPECT_EQ (describe (*read (bytes).document),
               (std::vector<std::string>{ "EFFECT 34: 7=400 4=80", "MODIFIER 34: 0=1", "EFFECT 36: 7=300",
                                          "EFFECT 34: 0=2 1=3", "CONTROLS 0: 1=5 3=6 4=7" }));
}

TEST (SettingsSyxToXml, MatrixModFromElementIdTwentyWithSeventyThreeValuesFromZero)
{
    auto tags = [] (int elementId, int count, int firstId)
    {
        Bytes bytes;
        appendRecord (bytes, 2, elementId, sequence (0, count), firstId);
        appendRecord (bytes, 2, elementId, { 1 }); // never joined to a matrix modulation
        auto document = read (bytes).document;
        juce::String text;

        for (auto* child : document->getChildIterator())
            text << child->getTagName() << " " << child->getNumChildElements() << ";";

        return text;
    };

    EXPECT_EQ (tags (20, 73, 0), "MATRIXMOD 9;MODIFIER 1;");
    EXPECT_EQ (tags (255, 73, 0), "MATRIXMOD 9;MODIFIER 1;");
    EXPECT_EQ (tags (19, 73, 0), "MODIFIER 74;");
    EXPECT_EQ (tags (20, 72, 0), "MODIFIER 73;");
    EXPECT_EQ (tags (20, 73, 1), "MODIFIER 74;");

    // Split into two records, the 73 values are the matrix modulation all the same.
    Bytes split;
    appendRecord (split, 2, 22, sequence (0, 10), 0);
    appendRecord (split, 2, 22, sequence (10, 63), 10);
    auto joined = read (split).document;
    ASSERT_EQ (joined->getNumChildElements(), 1);
    EXPECT_EQ (joined->getChildElement (0)->getTagName(), "MATRIXMOD");
    EXPECT_EQ (describe (*joined->getChildElement (0))[2],
               "EFFECT 2: 3=3 4=4 5=5 6=6 7=7 8=8 9=9 10=10 11=11 12=12 13=13 14=14 15=15 16=16 17=17 18=18");
}

TEST (SettingsSyxToXml, RebuildsTheMatrixModLayoutFromSeventyThreeValues)
{
    Bytes bytes;
    appendRecord (bytes, 2, 22, sequence (500, 73));
    appendRecord (bytes, 1, 4, { 9 });
    appendWord (bytes, 0x01000000);

    auto result = read (bytes);
    ASSERT_EQ (result.document->getNumChildElements(), 2);

    auto* matrixMod = result.document->getChildElement (0);
    EXPECT_EQ (matrixMod->getTagName(), "MATRIXMOD");
    EXPECT_EQ (matrixMod->getStringAttribute ("Id"), "22");
    EXPECT_EQ (describe (*matrixMod),
               (std::vector<std::string>{ "EFFECT 0: 0=500", "EFFECT 1: 1=501 2=502",
                                          "EFFECT 2: 3=503 4=504 5=505 6=506 7=507 8=508 9=509 10=510 11=511 "
                                          "12=512 13=513 14=514 15=515 16=516 "
                                          "17=517 18=518",
                                          "EFFECT 3: 19=519 20=520",
                                          "EFFECT 4: 21=521 22=522 23=523 24=524 25=525 26=526 27=527 28=528 "
                                          "29=529 30=530 31=531 32=532 33=533 "
                                          "34=534 35=535 36=536",
                                          "EFFECT 5: 37=537 38=538",
                                          "EFFECT 6: 39=539 40=540 41=541 42=542 43=543 44=544 45=545 46=546 "
                                          "47=547 48=548 49=549 50=550 51=551 "
                                          "52=552 53=553 54=554",
                                          "EFFECT 7: 55=555 56=556",
                                          "EFFECT 8: 57=557 58=558 59=559 60=560 61=561 62=562 63=563 64=564 "
                                          "65=565 66=566 67=567 68=568 69=569 "
                                          "70=570 71=571 72=572" }));

    EXPECT_EQ (describe (*result.document)[1], "EFFECT 4: 0=9");
}

TEST (SettingsSyxToXml, HighModifiersOfOtherLengthsStayModifiers)
{
    // Thirteen values under Id 30, as the category-8 presets hold them: taking 73 values would
    // swallow the records behind it.
    Bytes bytes;
    appendRecord (bytes, 2, 30, sequence (1, 13));
    appendRecord (bytes, 2, 32, sequence (20, 2));
    appendWord (bytes, 0x01000000);

    auto result = read (bytes);
    EXPECT_EQ (
        describe (*result.document),
        (std::vector<std::string>{ "MODIFIER 30: 0=1 1=2 2=3 3=4 4=5 5=6 6=7 7=8 8=9 9=10 10=11 11=12 12=13",
                                   "MODIFIER 32: 0=20 1=21" }));
}

TEST (SettingsSyxToXml, ShortAndDamagedBlocks)
{
    // 10 bytes: two words and a last word of 2 bytes, which counts as 0.
    auto tenBytes = read ({ 0x03, 0x01, 0x05, 0x00, 0x00, 0x00, 0x00, 0x07, 0x00, 0x09 });
    EXPECT_EQ (describe (*tenBytes.document), (std::vector<std::string>{ "EFFECT 5: 0=7 1=0" }));
    EXPECT_FALSE (tenBytes.incomplete);

    // A record whose count runs past the stored words is not decoded and ends the walk.
    Bytes cut;
    appendRecord (cut, 1, 1, { 1 });
    appendRecord (cut, 1, 2, sequence (0, 5));
    cut.resize (cut.size() - 8);
    auto damaged = read (cut);
    EXPECT_EQ (describe (*damaged.document), (std::vector<std::string>{ "EFFECT 1: 0=1" }));
    EXPECT_TRUE (damaged.incomplete);

    // A zero header ends the walk; what follows it is not read.
    Bytes zero;
    appendRecord (zero, 1, 1, { 1 });
    appendWord (zero, 0);
    appendRecord (zero, 1, 2, { 2 });
    auto stopped = read (zero);
    EXPECT_EQ (describe (*stopped.document), (std::vector<std::string>{ "EFFECT 1: 0=1" }));
    EXPECT_FALSE (stopped.incomplete);

    // Headers of 255 words with an unknown type, up to the last byte: nothing decoded, no overrun.
    auto garbage = read (Bytes ((size_t)SettingsSyxToXml::maxBlockBytes, 0xFF));
    EXPECT_EQ (garbage.document->getNumChildElements(), 0);
    EXPECT_TRUE (garbage.incomplete);
    EXPECT_FALSE (garbage.truncated);
}

TEST (SettingsSyxToXml, ReadsAtMostOneBlockOfBytes)
{
    // Sixteen records of 255 words and one of 16 fill exactly 16384 bytes.
    Bytes bytes;

    for (int i = 0; i < 16; ++i)
        appendRecord (bytes, 1, i, sequence (i, 254));

    appendRecord (bytes, 1, 16, sequence (0, 15));
    ASSERT_EQ (bytes.size(), (size_t)SettingsSyxToXml::maxBlockBytes);

    auto exact = read (bytes);
    EXPECT_FALSE (exact.truncated);
    EXPECT_FALSE (exact.incomplete);
    EXPECT_EQ (exact.document->getNumChildElements(), 17);

    appendRecord (bytes, 1, 17, { 1 });
    appendWord (bytes, 0x01000000);
    auto longer = read (bytes);
    EXPECT_TRUE (longer.truncated);
    EXPECT_EQ (longer.document->getNumChildElements(), 17);
    EXPECT_EQ (longer.document->getChildElement (16)->getStringAttribute ("Id"), "16");
}

TEST (SettingsSyxToXml, PublicStepsStayInsideTheBlock)
{
    Bytes bytes;
    appendRecord (bytes, 1, 3, { 10, 11 });
    juce::MemoryInputStream stream (bytes.data(), bytes.size(), false);
    SettingsSyxToXml reader (stream);

    juce::XmlElement root ("CORVADINE");
    EXPECT_EQ (reader.decodeRecord (0, root), 3);
    EXPECT_EQ (reader.decodeRecord (3, root), 0);
    EXPECT_EQ (reader.decodeRecord (-1, root), 0);
    EXPECT_EQ (reader.decodeRecord (1, root), 0); // the value word 10 has a top byte of 0

    // Asking for more values than are stored gives those that are.
    juce::XmlElement controls ("CONTROLS");
    reader.addParameters (controls, 1, 50, 4);
    EXPECT_EQ (describe (root), (std::vector<std::string>{ "EFFECT 3: 0=10 1=11" }));
    ASSERT_EQ (controls.getNumChildElements(), 2);
    EXPECT_EQ (controls.getChildElement (0)->getStringAttribute ("Id"), "4");
    EXPECT_EQ (controls.getChildElement (1)->getStringAttribute ("StepValue"), "11");

    // Both calls build the same document.
    auto first = reader.createXml();
    auto second = reader.createXml();
    EXPECT_TRUE (first->isEquivalentTo (second.get(), false));
}
