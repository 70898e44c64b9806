#include "document/ApplicationsFolder.h"

juce::File getApplicationsFolder (const juce::File& documentsFolder)
{
    auto folder = documentsFolder.getChildFile ("ZELTA Applications");

    if (!folder.isDirectory())
        folder.createDirectory();

    return folder;
}

juce::File proposeFileForTitle (const juce::File& folder, const juce::String& title,
                                const juce::String& extension)
{
    juce::String printable;

    for (auto c : title)
        if (c >= 0x20 && c != 0x7f)
            printable += c;

    // Leading dots would hide the file from the list (and ".." would climb out of
    // the folder); trailing dots and spaces are not kept by every file system.
    auto name =
        juce::File::createLegalFileName (printable).trimCharactersAtStart (". ").trimCharactersAtEnd (". ");

    if (name.isEmpty())
        return folder;

    // Made legal together with the extension so that a long title is cut before it.
    auto file = folder.getChildFile (juce::File::createLegalFileName (name + "." + extension));

    if (file.getParentDirectory() != folder)
        return folder;

    return file;
}
