#pragma once

#include <juce_core/juce_core.h>

// The font files that the system's font configuration (fontconfig) picks, looked up in its
// caches: no font file is opened. The framework, asked for a system font, opens every file in the
// font folders first, which makes start-up grow with the number of installed fonts.
class SystemFontFiles
{
public:
    struct FontFile
    {
        juce::File file;
        int faceIndex = 0; // the face within a file that holds several
    };

    SystemFontFiles();
    ~SystemFontFiles();

    // The file of the sans-serif face of the given style; an empty file when fontconfig is not
    // configured or knows no font file at all.
    FontFile findSansSerif (bool bold, bool italic) const;

private:
    void* config = nullptr; // fontconfig's FcConfig, read once

    JUCE_DECLARE_NON_COPYABLE (SystemFontFiles)
};
