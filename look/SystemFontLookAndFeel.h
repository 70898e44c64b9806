#pragma once

#include <array>
#include <future>
#include <optional>
#include <juce_gui_basics/juce_gui_basics.h>

#include "platform/SystemFontFiles.h"

// The program's default look: the framework's V3 look, whose default sans-serif text is drawn in
// the faces that the system's font configuration picks for sans-serif, read straight from their
// files. Every text goes through the default look's typefaces, so this spares the whole program
// the framework's opening of every installed font. Without a usable file it falls back to the
// framework's own choice.
class SystemFontLookAndFeel : public juce::LookAndFeel_V3
{
public:
    // Starts looking the files up on a thread of their own: reading the font configuration takes a
    // few milliseconds, which pass while the program opens its display.
    SystemFontLookAndFeel();

    // Called by the framework's typeface cache, under its lock.
    juce::Typeface::Ptr getTypefaceForFont (const juce::Font& font) override;

private:
    // Regular, bold, italic, bold italic.
    static constexpr size_t numStyles = 4;
    using FontFiles = std::array<SystemFontFiles::FontFile, numStyles>;

    static FontFiles lookUpFontFiles();

    // Written by the look-up thread, read once through the future (whose destructor waits for
    // the thread); fontFiles and typefaces are used under the framework's typeface cache lock only.
    std::future<FontFiles> pendingFontFiles;
    std::optional<FontFiles> fontFiles;
    std::array<juce::Typeface::Ptr, numStyles> typefaces;
    std::array<bool, numStyles> opened{};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SystemFontLookAndFeel)
};
