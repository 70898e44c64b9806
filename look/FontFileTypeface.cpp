#include "look/FontFileTypeface.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

namespace
{
FT_Library libraryOf (void* library)
{
    return static_cast<FT_Library> (library);
}

FT_Face faceOf (void* face)
{
    return static_cast<FT_Face> (face);
}

// The outline as a path in the typeface's units (one unit is the font's height, y grows
// downwards), with the same arithmetic as the framework's own typefaces, so that text looks the
// same to the pixel: points are scaled first, and the implied point between two conic control
// points is their midpoint after scaling. False for a malformed cubic segment.
bool outlineToPath (const FT_Outline& outline, float scale, juce::Path& path)
{
    const auto scaleY = -scale;
    auto pointAt = [&] (int i)
    { return juce::Point<float> (scale * (float)outline.points[i].x, scaleY * (float)outline.points[i].y); };
    auto tagAt = [&] (int i) { return FT_CURVE_TAG (outline.tags[i]); };

    for (int contour = 0; contour < outline.n_contours; ++contour)
    {
        const int first = contour == 0 ? 0 : outline.contours[contour - 1] + 1;
        const int last = outline.contours[contour];

        for (int p = first; p <= last; ++p)
        {
            const auto point = pointAt (p);

            if (p == first)
            {
                // A contour that begins off the curve begins at its last point, or halfway to it.
                if (tagAt (p) == FT_CURVE_TAG_CONIC)
                {
                    auto start = pointAt (last);

                    if (tagAt (last) != FT_CURVE_TAG_ON)
                        start = (point + start) * 0.5f;

                    path.startNewSubPath (start);
                }
                else
                {
                    path.startNewSubPath (point);
                }
            }

            if (tagAt (p) == FT_CURVE_TAG_ON)
            {
                if (p != first)
                    path.lineTo (point);
            }
            else if (tagAt (p) == FT_CURVE_TAG_CONIC)
            {
                const int next = p == last ? first : p + 1;
                auto end = pointAt (next);

                if (tagAt (next) == FT_CURVE_TAG_CONIC)
                    end = (point + end) * 0.5f;
                else
                    ++p;

                path.quadraticTo (point, end);
            }
            else
            {
                const int next1 = p + 1, next2 = p == last - 1 ? first : p + 2;

                if (p >= last || tagAt (next1) != FT_CURVE_TAG_CUBIC || tagAt (next2) != FT_CURVE_TAG_ON)
                    return false;

                path.cubicTo (point, pointAt (next1), pointAt (next2));
                p += 2;
            }
        }

        path.closeSubPath();
    }

    return true;
}
} // namespace

juce::Typeface::Ptr FontFileTypeface::open (const juce::File& file, int faceIndex)
{
    FT_Library library = nullptr;

    if (FT_Init_FreeType (&library) != 0)
        return nullptr;

    FT_Face face = nullptr;

    if (FT_New_Face (library, file.getFullPathName().toRawUTF8(), faceIndex, &face) != 0)
    {
        FT_Done_FreeType (library);
        return nullptr;
    }

    if (!FT_IS_SCALABLE (face) || face->ascender - face->descender <= 0)
    {
        FT_Done_Face (face);
        FT_Done_FreeType (library);
        return nullptr;
    }

    return new FontFileTypeface (library, face);
}

FontFileTypeface::FontFileTypeface (void* libraryToUse, void* faceToUse)
    : library (libraryToUse), face (faceToUse),
      height ((float)(faceOf (face)->ascender - faceOf (face)->descender)), scale (1.0f / height)
{
    auto* ftFace = faceOf (face);
    setCharacteristics (juce::String::fromUTF8 (ftFace->family_name),
                        juce::String::fromUTF8 (ftFace->style_name), (float)ftFace->ascender / height, L' ');

    // FreeType's kerning comes from the 'kern' table alone.
    FT_ULong length = 0;

    if (FT_HAS_KERNING (ftFace) && FT_Load_Sfnt_Table (ftFace, TTAG_kern, 0, nullptr, &length) == 0 &&
        length > 0)
    {
        juce::HeapBlock<FT_Byte> table (length);

        if (FT_Load_Sfnt_Table (ftFace, TTAG_kern, 0, table, &length) == 0)
            if (auto loaded = std::make_unique<KerningTable> (table.get(), (size_t)length);
                !loaded->isEmpty())
                kerning = std::move (loaded);
    }
}

FontFileTypeface::~FontFileTypeface()
{
    FT_Done_Face (faceOf (face));
    FT_Done_FreeType (libraryOf (library));
}

bool FontFileTypeface::loadGlyphIfPossible (juce::juce_wchar character)
{
    auto* ftFace = faceOf (face);
    const auto glyphIndex = FT_Get_Char_Index (ftFace, (FT_ULong)character);

    if (FT_Load_Glyph (ftFace, glyphIndex,
                       FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM |
                           FT_LOAD_NO_HINTING) != 0 ||
        ftFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;

    juce::Path shape;

    if (!outlineToPath (ftFace->glyph->outline, scale, shape))
        return false;

    addGlyph (character, shape, (float)ftFace->glyph->metrics.horiAdvance * scale);

    if (kerning != nullptr)
        addKerningPairs (character, glyphIndex);

    return true;
}

void FontFileTypeface::addKerningPairs (juce::juce_wchar character, juce::uint32 glyphIndex)
{
    auto* ftFace = faceOf (face);

    if (characters.empty())
    {
        FT_UInt glyph = 0;

        for (auto code = FT_Get_First_Char (ftFace, &glyph); glyph != 0;
             code = FT_Get_Next_Char (ftFace, code, &glyph))
            characters.emplace (glyph, (juce::juce_wchar)code);
    }

    kerning->forEachKerningAfter (glyphIndex,
                                  [&] (juce::uint32 rightGlyph, int value)
                                  {
                                      const auto range = characters.equal_range (rightGlyph);

                                      for (auto it = range.first; it != range.second; ++it)
                                          addKerningPair (character, it->second, (float)value / height);
                                  });
}
