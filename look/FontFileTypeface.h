#pragma once

#include <juce_graphics/juce_graphics.h>
#include <map>
#include <memory>

#include "look/KerningTable.h"

// A typeface read from one font file with FreeType, glyph by glyph as text needs them, drawn as
// the framework draws its own system typefaces (unhinted outlines with the font's kerning). Made
// straight from the file, it spares the framework's opening of every installed font.
class FontFileTypeface : public juce::CustomTypeface
{
public:
    // Null when FreeType cannot read the file or the face has no outlines.
    static juce::Typeface::Ptr open (const juce::File& file, int faceIndex);

    ~FontFileTypeface() override;

    bool loadGlyphIfPossible (juce::juce_wchar character) override;

private:
    FontFileTypeface (void* library, void* face);

    void addKerningPairs (juce::juce_wchar character, juce::uint32 glyphIndex);

    // FreeType's FT_Library and FT_Face, used under the framework's typeface lock.
    void* library;
    void* face;
    float height; // of the font, in its units
    float scale;
    std::unique_ptr<KerningTable> kerning;                    // null: the font has no kerning
    std::multimap<juce::uint32, juce::juce_wchar> characters; // of each glyph, made with the first kerning

    JUCE_DECLARE_NON_COPYABLE (FontFileTypeface)
};
