#include <gtest/gtest.h>
#include <cstdlib>
#include <juce_gui_basics/juce_gui_basics.h>

#include "platform/SystemFontFiles.h"
#include "look/FontFileTypeface.h"
#include "look/KerningTable.h"
#include "look/SystemFontLookAndFeel.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

namespace
{
using Bytes = std::vector<juce::uint8>;

void put16 (Bytes& bytes, int value)
{
    bytes.push_back ((juce::uint8) (value >> 8));
    bytes.push_back ((juce::uint8)value);
}

struct Pair
{
    int left, right, value;
};

// A 'kern' subtable: format in the high byte of coverage, its pairs as given.
void putSubtable (Bytes& bytes, int coverage, const std::vector<Pair>& pairs, int claimedPairs = -1)
{
    put16 (bytes, 0);
    put16 (bytes, 6 + 8 + 6 * (int)pairs.size());
    put16 (bytes, coverage);
    put16 (bytes, claimedPairs < 0 ? (int)pairs.size() : claimedPairs);
    put16 (bytes, 0);
    put16 (bytes, 0);
    put16 (bytes, 0);

    for (auto& pair : pairs)
    {
        put16 (bytes, pair.left);
        put16 (bytes, pair.right);
        put16 (bytes, pair.value);
    }
}

std::map<juce::uint32, int> kerningAfter (const KerningTable& table, juce::uint32 left)
{
    std::map<juce::uint32, int> found;
    table.forEachKerningAfter (left, [&] (juce::uint32 right, int value) { found[right] = value; });
    return found;
}

// Every element of a path with all its coordinates.
std::vector<float> pathData (const juce::Path& path)
{
    std::vector<float> data;

    for (juce::Path::Iterator i (path); i.next();)
        data.insert (data.end(), { (float)i.elementType, i.x1, i.y1, i.x2, i.y2, i.x3, i.y3 });

    return data;
}

SystemFontFiles::FontFile sansSerif (bool bold = false)
{
    return SystemFontFiles().findSansSerif (bold, false);
}
} // namespace

TEST (KerningTable, ReadsTheSubtablesAsFreeTypeDoes)
{
    Bytes table;
    put16 (table, 0);
    put16 (table, 5);
    putSubtable (table, 0x0001, { { 3, 9, -20 }, { 3, 4, 5 }, { 7, 9, 1 } });
    putSubtable (table, 0x0003, { { 3, 9, 100 } });             // minimum values: not kerning
    putSubtable (table, 0x0100 | 0x0001, { { 3, 9, 100 } });    // format 1: not read
    putSubtable (table, 0x0001, { { 3, 9, -2 }, { 3, 6, 8 } }); // added
    putSubtable (table, 0x0009, { { 3, 4, 7 }, { 3, 11, 1 } }); // overrides what came before

    const KerningTable kerning (table.data(), table.size());
    ASSERT_FALSE (kerning.isEmpty());
    // Glyph 9 and 6 are not in the overriding subtable, so their kerning ends as 0 and is not given.
    EXPECT_EQ (kerningAfter (kerning, 3), (std::map<juce::uint32, int>{ { 4, 7 }, { 11, 1 } }));
    EXPECT_EQ (kerningAfter (kerning, 7), (std::map<juce::uint32, int>{}));
    EXPECT_EQ (kerningAfter (kerning, 5), (std::map<juce::uint32, int>{}));
}

TEST (KerningTable, BrokenTablesGiveWhatTheirBytesHold)
{
    // A pair count beyond the subtable's length is cut to the pairs that are there.
    Bytes overcounted;
    put16 (overcounted, 0);
    put16 (overcounted, 1);
    putSubtable (overcounted, 0x0001, { { 1, 2, -3 }, { 1, 5, 4 } }, 900);
    EXPECT_EQ (kerningAfter (KerningTable (overcounted.data(), overcounted.size()), 1),
               (std::map<juce::uint32, int>{ { 2, -3 }, { 5, 4 } }));

    // A subtable too short for any pair ends the table; one cut by the end of the bytes keeps
    // what is inside them.
    Bytes cut;
    put16 (cut, 0);
    put16 (cut, 2);
    putSubtable (cut, 0x0001, { { 1, 2, -3 }, { 1, 6, 9 } });
    cut.resize (cut.size() - 3);
    put16 (cut, 0);
    EXPECT_EQ (kerningAfter (KerningTable (cut.data(), cut.size()), 1),
               (std::map<juce::uint32, int>{ { 2, -3 } }));

    EXPECT_TRUE (KerningTable (cut.data(), 3).isEmpty());
    EXPECT_TRUE (KerningTable (nullptr, 0).isEmpty());
}

TEST (KerningTable, AgreesWithFreeTypeOnTheSystemFont)
{
    const auto font = sansSerif();

    if (!font.file.existsAsFile())
        GTEST_SKIP() << "fontconfig knows no sans-serif font here";

    FT_Library library = nullptr;
    ASSERT_EQ (FT_Init_FreeType (&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ (FT_New_Face (library, font.file.getFullPathName().toRawUTF8(), font.faceIndex, &face), 0);

    FT_ULong length = 0;

    if (!FT_HAS_KERNING (face) || FT_Load_Sfnt_Table (face, TTAG_kern, 0, nullptr, &length) != 0)
    {
        FT_Done_Face (face);
        FT_Done_FreeType (library);
        GTEST_SKIP() << "the font has no kerning table";
    }

    std::vector<FT_Byte> bytes (length);
    ASSERT_EQ (FT_Load_Sfnt_Table (face, TTAG_kern, 0, bytes.data(), &length), 0);
    const KerningTable table (bytes.data(), bytes.size());

    int pairs = 0;

    for (const juce::juce_wchar left : juce::String ("AFLPTVWYafkrvwy.,1"))
    {
        const auto leftGlyph = FT_Get_Char_Index (face, (FT_ULong)left);
        std::map<juce::uint32, int> expected;

        for (FT_UInt right = 0; right < (FT_UInt)face->num_glyphs; ++right)
        {
            FT_Vector value{};

            if (FT_Get_Kerning (face, leftGlyph, right, FT_KERNING_UNSCALED, &value) == 0 && value.x != 0)
                expected[right] = (int)value.x;
        }

        EXPECT_EQ (kerningAfter (table, leftGlyph), expected) << (char)left;
        pairs += (int)expected.size();
    }

    EXPECT_GT (pairs, 0) << "letters such as A, T, V kern in any text font";
    FT_Done_Face (face);
    FT_Done_FreeType (library);
}

TEST (FontFileTypeface, DrawsTextAsTheFrameworksOwnTypefaceOfTheSameFile)
{
    juce::ScopedJuceInitialiser_GUI gui;

    for (const bool bold : { false, true })
    {
        const auto font = sansSerif (bold);

        if (!font.file.existsAsFile())
            GTEST_SKIP() << "fontconfig knows no sans-serif font here";

        juce::MemoryBlock data;
        ASSERT_TRUE (font.file.loadFileAsData (data));
        auto frameworks = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());
        auto ours = FontFileTypeface::open (font.file, font.faceIndex);
        ASSERT_NE (ours, nullptr);

        EXPECT_EQ (ours->getName(), frameworks->getName());
        EXPECT_EQ (ours->getStyle(), frameworks->getStyle());
        EXPECT_EQ (ours->getAscent(), frameworks->getAscent());

        // Kerning pairs (AV, To, Yo), digits, punctuation and letters beyond ASCII.
        const juce::String text (
            juce::CharPointer_UTF8 ("AVATAR To Yo, Wa! v1.5.0r927 \xc3\x84gypten \xc3\xa9t\xc3\xa9"));
        juce::Array<int> ourGlyphs, theirGlyphs;
        juce::Array<float> ourOffsets, theirOffsets;
        ours->getGlyphPositions (text, ourGlyphs, ourOffsets);
        frameworks->getGlyphPositions (text, theirGlyphs, theirOffsets);
        EXPECT_EQ (ourGlyphs, theirGlyphs);
        ASSERT_EQ (ourOffsets.size(), theirOffsets.size());

        // The same numbers, so that the same pixels are drawn.
        EXPECT_EQ (ourOffsets, theirOffsets);

        for (auto glyph : theirGlyphs)
        {
            juce::Path ourShape, theirShape;
            ours->getOutlineForGlyph (glyph, ourShape);
            frameworks->getOutlineForGlyph (glyph, theirShape);
            EXPECT_EQ (pathData (ourShape), pathData (theirShape)) << "glyph " << glyph;
        }
    }

    EXPECT_EQ (FontFileTypeface::open (juce::File ("/nonexistent/font.ttf"), 0), nullptr);
}

TEST (SystemFontLookAndFeel, GivesTheSystemSansSerifFacesAndFallsBackWithoutThem)
{
    juce::ScopedJuceInitialiser_GUI gui;

    {
        SystemFontLookAndFeel look;
        auto regular = look.getTypefaceForFont (juce::Font (14.0f));
        auto bold = look.getTypefaceForFont (juce::Font (14.0f, juce::Font::bold));
        ASSERT_NE (regular, nullptr);
        ASSERT_NE (bold, nullptr);

        if (sansSerif().file.existsAsFile())
        {
            EXPECT_NE (dynamic_cast<FontFileTypeface*> (regular.get()), nullptr);
            EXPECT_NE (regular, bold);
            EXPECT_EQ (bold->getStyle(), "Bold");
            EXPECT_EQ (look.getTypefaceForFont (juce::Font (20.0f)), regular)
                << "one typeface for every size";
        }

        // Other families are the framework's business.
        auto serif = look.getTypefaceForFont (juce::Font (juce::Font::getDefaultSerifFontName(), 14.0f, 0));
        EXPECT_EQ (dynamic_cast<FontFileTypeface*> (serif.get()), nullptr);
    }

    // A font configuration that knows no fonts: the framework's own choice, still able to draw.
    const auto emptyConfig = juce::File::createTempFile (".conf");
    ASSERT_TRUE (emptyConfig.replaceWithText ("<?xml version=\"1.0\"?><fontconfig></fontconfig>"));
    setenv ("FONTCONFIG_FILE", emptyConfig.getFullPathName().toRawUTF8(), 1);
    {
        SystemFontLookAndFeel look;
        auto fallback = look.getTypefaceForFont (juce::Font (14.0f));
        ASSERT_NE (fallback, nullptr);
        EXPECT_EQ (dynamic_cast<FontFileTypeface*> (fallback.get()), nullptr);
    }
    unsetenv ("FONTCONFIG_FILE");
    emptyConfig.deleteFile();
}
