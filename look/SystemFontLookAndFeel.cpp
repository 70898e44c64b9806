#include "look/SystemFontLookAndFeel.h"

#include "look/FontFileTypeface.h"

SystemFontLookAndFeel::SystemFontLookAndFeel()
    : pendingFontFiles (std::async (std::launch::async, &SystemFontLookAndFeel::lookUpFontFiles))
{
}

SystemFontLookAndFeel::FontFiles SystemFontLookAndFeel::lookUpFontFiles()
{
    const SystemFontFiles system;
    FontFiles files;

    for (size_t style = 0; style < numStyles; ++style)
        files[style] = system.findSansSerif ((style & 1) != 0, (style & 2) != 0);

    return files;
}

juce::Typeface::Ptr SystemFontLookAndFeel::getTypefaceForFont (const juce::Font& font)
{
    if (font.getTypefaceName() != juce::Font::getDefaultSansSerifFontName())
        return juce::LookAndFeel_V3::getTypefaceForFont (font);

    const auto style = (size_t)((font.isBold() ? 1 : 0) + (font.isItalic() ? 2 : 0));

    if (!opened[style])
    {
        opened[style] = true;

        if (!fontFiles.has_value())
            fontFiles = pendingFontFiles.get();

        const auto& found = (*fontFiles)[style];

        if (found.file.existsAsFile())
            typefaces[style] = FontFileTypeface::open (found.file, found.faceIndex);
    }

    if (typefaces[style] != nullptr)
        return typefaces[style];

    return juce::LookAndFeel_V3::getTypefaceForFont (font);
}
