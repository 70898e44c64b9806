#include <gtest/gtest.h>
#include "document/SavedFileFormat.h"

namespace
{
juce::MemoryBlock bytes (std::initializer_list<int> values)
{
    juce::MemoryBlock block;
    for (auto v : values)
    {
        const auto byte = (juce::uint8)v;
        block.append (&byte, 1);
    }
    return block;
}

juce::MemoryBlock textBlock (const juce::String& text)
{
    return juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

juce::MemoryBlock scrambled (const juce::String& text)
{
    return scrambleFile (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

const char* const applicationText = R"(<?xml version="1.0" encoding="UTF-8"?>

<Application>
  <Title>Meeting Rooms</Title>
  <Author>Quenbrel</Author>
  <Description>Two rooms &amp; a hall</Description>
  <SvnRevision>927</SvnRevision>
  <Device name="Room 1" model="ZELTA M">
    <Input id="0" label="IN1"/>
    <CORVADINE Name="ZELTA Device CV" Id="5">
      <EFFECT Name="EQ1 Preset" Id="22">
        <PARAMETER Name="Gain" Id="0" DisplayValue="0.0 dB" StepValue="240"/>
      </EFFECT>
    </CORVADINE>
  </Device>
</Application>
)";
} // namespace

TEST (Scrambler, GoldenBytes)
{
    // "<A/>" = 3C 41 2F 3E; stored byte i = (b + i) xor C7:
    // 3C+0=3C -> FB, 41+1=42 -> 85, 2F+2=31 -> F6, 3E+3=41 -> 86.
    EXPECT_EQ (scrambled ("<A/>"), bytes ({ 'Z', 'E', 'L', 'T', 'A', 0, 0xfb, 0x85, 0xf6, 0x86 }));

    // The sum wraps at 8 bits: FF+1 = 100 -> 00 -> C7; 00+2 = 02 -> C5.
    const juce::uint8 high[] = { 0x80, 0xff, 0x00 };
    // 80+0=80 -> 47.
    EXPECT_EQ (scrambleFile (high, 3), bytes ({ 'Z', 'E', 'L', 'T', 'A', 0, 0x47, 0xc7, 0xc5 }));

    EXPECT_EQ (unscrambleFile (bytes ({ 'Z', 'E', 'L', 'T', 'A', 0, 0xfb, 0x85, 0xf6, 0x86 })),
               textBlock ("<A/>"));
}

TEST (Scrambler, IndexWrapsEvery256Bytes)
{
    const std::vector<juce::uint8> text (600, 0x41);
    const auto file = scrambleFile (text.data(), text.size());
    ASSERT_EQ (file.getSize(), 606u);

    // 41 xor C7 = 86 at 0, 256 and 512; 41+FF = 140 -> 40 -> 87 at 255 and 511; 41+1 -> 85 at 1 and 257.
    const auto body = [&] (int i) { return (int)(juce::uint8)file[(int)scrambledFileHeaderSize + i]; };
    EXPECT_EQ (body (0), 0x86);
    EXPECT_EQ (body (256), 0x86);
    EXPECT_EQ (body (512), 0x86);
    EXPECT_EQ (body (255), 0x87);
    EXPECT_EQ (body (511), 0x87);
    EXPECT_EQ (body (1), 0x85);
    EXPECT_EQ (body (257), 0x85);
}

TEST (Scrambler, RoundTripsEveryByteValue)
{
    std::vector<juce::uint8> text;
    for (int i = 0; i < 1000; ++i)
        text.push_back ((juce::uint8) (i * 37 + (i >> 8)));

    const auto file = scrambleFile (text.data(), text.size());
    EXPECT_TRUE (hasScrambledFileHeader (file));
    EXPECT_EQ (unscrambleFile (file), juce::MemoryBlock (text.data(), text.size()));
}

TEST (Scrambler, EmptyTextAndShortFiles)
{
    const auto header = bytes ({ 'Z', 'E', 'L', 'T', 'A', 0 });
    EXPECT_EQ (scrambleFile ("", 0), header);
    EXPECT_EQ (scrambleFile (nullptr, 10), header);
    EXPECT_EQ (unscrambleFile (header).getSize(), 0u);
    EXPECT_EQ (unscrambleFile (bytes ({ 'Z', 'E', 'L' })).getSize(), 0u);
}

TEST (Scrambler, HeaderNeedsAllSixBytes)
{
    EXPECT_TRUE (hasScrambledFileHeader (bytes ({ 'Z', 'E', 'L', 'T', 'A', 0 })));
    EXPECT_FALSE (hasScrambledFileHeader (bytes ({ 'Z', 'E', 'L', 'T', 'A', 1, 0x41 })));
    EXPECT_FALSE (hasScrambledFileHeader (bytes ({ 'Z', 'E', 'L', 'T', 'A' })));
    EXPECT_FALSE (hasScrambledFileHeader (bytes ({ 'z', 'E', 'L', 'T', 'A', 0 })));
    EXPECT_FALSE (hasScrambledFileHeader ({}));

    EXPECT_STREQ (applicationFileExtension, "sapl");
    EXPECT_STREQ (eqPresetFileExtension, "spre");
}

TEST (SavedFileReader, ReadsScrambledAndPlainFilesAlike)
{
    auto expected = juce::parseXML (juce::String (applicationText));
    ASSERT_NE (expected, nullptr);

    for (auto& file : { scrambled (applicationText), textBlock (applicationText) })
    {
        auto contents = readSavedFile (file);
        ASSERT_EQ (contents.result, SavedFileResult::ok);
        ASSERT_NE (contents.document, nullptr);
        EXPECT_TRUE (contents.document->isEquivalentTo (expected.get(), false));
        EXPECT_EQ (contents.document->getChildByName ("Description")->getAllSubText(), "Two rooms & a hall");
    }
}

TEST (SavedFileReader, WrittenDocumentsReadBackUnchanged)
{
    juce::XmlElement application ("Application");
    application.createNewChildElement ("Title")->addTextElement (
        juce::String::fromUTF8 ("Salle \xc3\xa0 manger \xe2\x82\xac"));
    auto* device = application.createNewChildElement ("Device");
    device->setAttribute ("name", "Say \"hi\" <now> & 'then'\nnext line\ttab");
    device->setAttribute ("model", "ZELTA 70");
    device->createNewChildElement ("CORVADINE")->setAttribute ("SVNRev", "");

    juce::XmlElement::TextFormat format;
    const auto text = application.toString (format);
    auto contents = readSavedFile (scrambled (text));
    ASSERT_EQ (contents.result, SavedFileResult::ok) << text;
    EXPECT_TRUE (contents.document->isEquivalentTo (&application, false));
}

TEST (SavedFileReader, TellsBadFilesApart)
{
    EXPECT_EQ (readSavedFile (juce::MemoryBlock()).result, SavedFileResult::emptyFile);
    EXPECT_EQ (readSavedFile (textBlock ("<A")).result, SavedFileResult::tooShort);
    EXPECT_EQ (readSavedFile (bytes ({ 'Z', 'E', 'L', 'T', 'A' })).result, SavedFileResult::tooShort);
    // Short, but a whole document.
    EXPECT_EQ (readSavedFile (textBlock ("<A/>")).result, SavedFileResult::ok);

    // A byte order mark alone is no text either.
    EXPECT_EQ (readSavedFile (bytes ({ 0xef, 0xbb, 0xbf })).result, SavedFileResult::tooShort);
    EXPECT_EQ (readSavedFile (scrambleFile ("\xef\xbb\xbf", 3)).result, SavedFileResult::notXml);

    // The header alone holds an empty text.
    EXPECT_EQ (readSavedFile (bytes ({ 'Z', 'E', 'L', 'T', 'A', 0 })).result, SavedFileResult::notXml);
    // A sixth byte other than zero makes it plain text, which this is not.
    EXPECT_EQ (readSavedFile (bytes ({ 'Z', 'E', 'L', 'T', 'A', 1, 0xfb, 0x85, 0xf6, 0x86 })).result,
               SavedFileResult::notXml);
    // Plain XML read as scrambled is garbage.
    auto header = bytes ({ 'Z', 'E', 'L', 'T', 'A', 0 });
    header.append ("<A/>", 4);
    EXPECT_EQ (readSavedFile (header).result, SavedFileResult::notXml);

    // A zero byte would end the text early and hide what follows it.
    for (const std::string text :
         { std::string ("<A/>\0<B", 7), std::string ("<A/>\n\0", 6), std::string ("<A>\0</A>", 8) })
    {
        EXPECT_EQ (readSavedFile (juce::MemoryBlock (text.data(), text.size())).result,
                   SavedFileResult::notXml);
        EXPECT_EQ (readSavedFile (scrambleFile (text.data(), text.size())).result, SavedFileResult::notXml);
    }

    // Characters no writer encodes so: overlong forms and a surrogate. The framework would keep
    // their bytes and write back a text that no longer reads.
    for (const std::string text : { "<A\xc0\xb3/>", "<A x=\"\xc0\xaf\"/>", "<A x=\"\xed\xa0\x80\"/>" })
    {
        EXPECT_EQ (readSavedFile (juce::MemoryBlock (text.data(), text.size())).result,
                   SavedFileResult::notXml)
            << text;
        EXPECT_EQ (readSavedFile (scrambleFile (text.data(), text.size())).result, SavedFileResult::notXml);
    }

    // Text in the Windows code page, as older programs wrote it, still reads.
    const std::string legacy = "<A x=\"caf\xe9\"/>";
    const auto legacyContents = readSavedFile (juce::MemoryBlock (legacy.data(), legacy.size()));
    ASSERT_EQ (legacyContents.result, SavedFileResult::ok);
    EXPECT_EQ (legacyContents.document->getStringAttribute ("x"), juce::String::fromUTF8 ("caf\xc3\xa9"));

    for (auto* text :
         { "<CORVADINE", "Title: none", "<A></B>", "<A/><B/>", "<A x=5><B/></A>", "<A><?pi?>text</A>" })
    {
        auto contents = readSavedFile (scrambled (text));
        EXPECT_EQ (contents.result, SavedFileResult::notXml) << text;
        EXPECT_EQ (contents.document, nullptr) << text;
    }
}

TEST (SavedFileReader, NoCutOfAFileReadsAsAGoodDocument)
{
    const juce::String text (applicationText);
    const auto length = (int)text.getNumBytesAsUTF8();
    const auto trailing = length - (int)text.trimEnd().getNumBytesAsUTF8();

    for (int cut = 0; cut < length - trailing; ++cut)
    {
        const juce::MemoryBlock plain (text.toRawUTF8(), (size_t)cut);
        EXPECT_NE (readSavedFile (plain).result, SavedFileResult::ok) << "plain, cut at " << cut;
        EXPECT_NE (readSavedFile (scrambleFile (text.toRawUTF8(), (size_t)cut)).result, SavedFileResult::ok)
            << "scrambled, cut at " << cut;
    }
}

TEST (SavedFileReader, ReadsFilesFromDisk)
{
    juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto dir = folder.getFile();

    const auto good = dir.getChildFile (juce::String ("good.") + applicationFileExtension);
    const auto file = scrambled (applicationText);
    ASSERT_TRUE (good.replaceWithData (file.getData(), file.getSize()));
    auto contents = readSavedFile (good);
    ASSERT_EQ (contents.result, SavedFileResult::ok);
    EXPECT_EQ (contents.document->getChildByName ("Title")->getAllSubText(), "Meeting Rooms");

    const auto empty = dir.getChildFile ("empty.sapl");
    ASSERT_TRUE (empty.create());
    EXPECT_EQ (readSavedFile (empty).result, SavedFileResult::emptyFile);

    EXPECT_EQ (readSavedFile (dir.getChildFile ("missing.sapl")).result, SavedFileResult::cannotRead);
    EXPECT_EQ (readSavedFile (dir).result, SavedFileResult::cannotRead);
    EXPECT_EQ (readSavedFile (dir.getChildFile ("missing.sapl")).document, nullptr);

    dir.deleteRecursively();
}
