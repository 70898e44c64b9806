#pragma once

#include <juce_core/juce_core.h>
#include <memory>

// One row of the application list: an application file of the applications
// folder, or an example application carried by the program (no file). The
// entry owns its parsed Application element.
class ApplicationListEntry
{
public:
    // Files of these revisions keep the device settings in an older form and are
    // converted when read; older ones are not taken at all.
    static constexpr int oldestReadableRevision = 415;
    static constexpr int newestLegacyRevision = 529;

    // What the last read of the file came to.
    enum class ReadResult
    {
        noFile,           // an example, or the file is not there (nothing read)
        unreadable,       // cannot be read, empty, too short or not XML
        notAnApplication, // XML, but not an Application element
        tooOld,           // written before oldestReadableRevision
        newer,            // written by a newer program; not taken
        converted,        // taken and converted in memory; the file is not rewritten yet
        taken
    };

    // An example application; the entry takes the element.
    explicit ApplicationListEntry (std::unique_ptr<juce::XmlElement> example);
    // An application file, read at once.
    explicit ApplicationListEntry (const juce::File& file);
    ~ApplicationListEntry();

    // Reads the file again. The application is replaced only when the file gave
    // one; every other outcome leaves the entry's application as it was. The
    // file itself is never changed here.
    ReadResult readFile();

    // Null when no read has given an application yet.
    juce::XmlElement* getApplication() const { return application.get(); }
    const juce::File& getFile() const { return file; }
    bool isExample() const { return file == juce::File(); }

    bool isConverted() const { return converted; }
    void clearConverted() { converted = false; }
    bool isNewer() const { return newer; }
    juce::Time getReadTime() const { return readTime; }

    // The application's Title and Author texts, "N/A" when missing.
    juce::String getTitle() const;
    juce::String getAuthor() const;

private:
    // Brings a device element of a legacy revision into the present form (its
    // control selections).
    static void migrateLegacyDevice (juce::XmlElement& device);

    std::unique_ptr<juce::XmlElement> application;
    const juce::File file;
    bool converted = false;
    bool newer = false;
    juce::Time readTime;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ApplicationListEntry)
};
