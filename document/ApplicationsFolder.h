#pragma once

#include <juce_core/juce_core.h>

// Where applications are kept, and how a title becomes a file name there.

// "ZELTA Applications" inside `documentsFolder` (the user's Documents folder
// unless a test points elsewhere); created when missing.
juce::File getApplicationsFolder (
    const juce::File& documentsFolder = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));

// The file proposed for saving a document titled `title` with `extension`
// (without the dot) in `folder`. The title is cut down to a legal, visible file
// name, so the result always lies directly inside `folder`; a title that leaves
// nothing usable gives `folder` itself.
juce::File proposeFileForTitle (const juce::File& folder, const juce::String& title,
                                const juce::String& extension);
