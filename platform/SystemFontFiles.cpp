#include "platform/SystemFontFiles.h"

#include <fontconfig/fontconfig.h>

SystemFontFiles::SystemFontFiles() : config (FcInitLoadConfigAndFonts()) {}

SystemFontFiles::~SystemFontFiles()
{
    if (config != nullptr)
        FcConfigDestroy (static_cast<FcConfig*> (config));
}

SystemFontFiles::FontFile SystemFontFiles::findSansSerif (bool bold, bool italic) const
{
    auto* fcConfig = static_cast<FcConfig*> (config);

    if (fcConfig == nullptr)
        return {};

    auto* pattern = FcPatternCreate();

    if (pattern == nullptr)
        return {};

    FcPatternAddString (pattern, FC_FAMILY, reinterpret_cast<const FcChar8*> ("sans-serif"));
    FcPatternAddInteger (pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger (pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Outlines only: the typeface is drawn at any size.
    FcPatternAddBool (pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute (fcConfig, pattern, FcMatchPattern);
    FcDefaultSubstitute (pattern);

    FontFile found;
    FcResult result = FcResultNoMatch;

    if (auto* match = FcFontMatch (fcConfig, pattern, &result))
    {
        FcChar8* path = nullptr;
        int index = 0;

        if (FcPatternGetString (match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr)
        {
            found.file = juce::File (juce::String::fromUTF8 (reinterpret_cast<const char*> (path)));
            found.faceIndex = FcPatternGetInteger (match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
        }

        FcPatternDestroy (match);
    }

    FcPatternDestroy (pattern);
    return found;
}
