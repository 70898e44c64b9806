#include "shell/ApplicationListEntry.h"

#include "document/ProgramRevision.h"
#include "document/SavedFileFormat.h"
#include "document/SettingsDocument.h"
#include "editors/ControlSelectionMigration.h"

namespace
{
juce::String childTextOrNA (const juce::XmlElement* application, const char* tag)
{
    if (application != nullptr)
        if (auto* child = application->getChildByName (tag))
            return child->getAllSubText();

    return "N/A";
}
} // namespace

ApplicationListEntry::ApplicationListEntry (std::unique_ptr<juce::XmlElement> example)
    : application (std::move (example))
{
}

ApplicationListEntry::ApplicationListEntry (const juce::File& applicationFile) : file (applicationFile)
{
    readFile();
}

ApplicationListEntry::~ApplicationListEntry() = default;

ApplicationListEntry::ReadResult ApplicationListEntry::readFile()
{
    if (isExample() || !file.existsAsFile())
        return ReadResult::noFile;

    auto contents = readSavedFile (file);
    readTime = file.getLastModificationTime();

    if (contents.result != SavedFileResult::ok || contents.document == nullptr)
        return ReadResult::unreadable;

    auto& document = *contents.document;

    if (!document.getTagName().equalsIgnoreCase ("Application"))
        return ReadResult::notAnApplication;

    const auto revision = getSvnRevision (document);

    if (revision < oldestReadableRevision)
        return ReadResult::tooOld;

    if (revision > programRevision)
    {
        newer = true;
        return ReadResult::newer;
    }

    auto result = ReadResult::taken;

    if (revision <= newestLegacyRevision)
    {
        for (auto* device : document.getChildWithTagNameIterator ("Device"))
            migrateLegacyDevice (*device);

        converted = true;
        result = ReadResult::converted;
    }

    application = std::move (contents.document);
    return result;
}

juce::String ApplicationListEntry::getTitle() const
{
    return childTextOrNA (application.get(), "Title");
}

juce::String ApplicationListEntry::getAuthor() const
{
    return childTextOrNA (application.get(), "Author");
}

void ApplicationListEntry::migrateLegacyDevice (juce::XmlElement& device)
{
    migrateControlSelection (device);
}
