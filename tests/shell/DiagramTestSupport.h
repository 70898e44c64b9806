#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "document/PresetLibrary.h"

// A preset library of three small device templates, one per family, each with
// a label, a page-state element and a settings document that names its family.
namespace diagramtest
{
inline const char zeltaTemplate[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Device name=\"ZELTA\" model=\"ZELTA\"><Input id=\"0\" label=\"Mic\"/>"
    "<InputSelection/><CORVADINE Name=\"T-ZELTA\"><EFFECT Id=\"1\"/></CORVADINE>"
    "</Device>";
inline const char zeltaMTemplate[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Device name=\"ZELTA M\" model=\"ZELTA M\"><Output id=\"3\" label=\"Bar\"/>"
    "<InputSelection/><CORVADINE Name=\"T-ZELTA M\"><EFFECT Id=\"2\"/></CORVADINE>"
    "</Device>";
inline const char zelta70Template[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<Device name=\"ZELTA 70\" model=\"ZELTA 70\"><GPO id=\"0\" label=\"Relay\"/>"
    "<InputSelection/><CORVADINE Name=\"T-ZELTA 70\"><EFFECT Id=\"3\"/>"
    "</CORVADINE></Device>";

inline const EmbeddedDocument templateTable[] = {
    { zeltaTemplate, (int)sizeof (zeltaTemplate) - 1, 1 },
    { zeltaMTemplate, (int)sizeof (zeltaMTemplate) - 1, 1 },
    { zelta70Template, (int)sizeof (zelta70Template) - 1, 1 },
    { nullptr, 0, -1 },
};

inline std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    return juce::parseXML (text);
}

inline juce::Label* findLabel (juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child); label != nullptr && label->getName() == name)
            return label;

    return nullptr;
}

inline int countLabelsNamed (juce::Component& parent, const juce::String& prefix)
{
    int count = 0;
    for (auto* child : parent.getChildren())
        if (dynamic_cast<juce::Label*> (child) != nullptr && child->getName().startsWith (prefix))
            ++count;

    return count;
}

// Writes a picture of the component when VANTOREL_SNAPSHOT_DIR names a folder, for a person to look at.
inline void saveSnapshot (const juce::Image& image, const juce::String& fileName)
{
    const auto folder = juce::SystemStats::getEnvironmentVariable ("VANTOREL_SNAPSHOT_DIR", {});
    if (folder.isEmpty())
        return;

    const auto file = juce::File (folder).getChildFile (fileName);
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat().writeImageToStream (image, out);
}
} // namespace diagramtest
