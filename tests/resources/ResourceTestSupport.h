#pragma once

#include <juce_core/juce_core.h>
#include <set>
#include <vector>

#include "document/PresetLibrary.h"

// Helpers shared by the tests of the embedded data.
namespace ResourceTestSupport
{
// Families as the device element names them; an element without `model` is a "ZELTA M".
struct Family
{
    const char* name;
    int inputs, outputs;
};

inline Family familyOf (const juce::XmlElement& device)
{
    const auto model = device.getStringAttribute ("model", "ZELTA M");
    if (model == "ZELTA")
        return { "ZELTA", 2, 2 };
    if (model == "ZELTA 70")
        return { "ZELTA 70", 2, 1 };
    return { "ZELTA M", 4, 4 };
}

inline std::vector<const juce::XmlElement*> childrenWithTag (const juce::XmlElement& parent,
                                                             const juce::String& tag)
{
    std::vector<const juce::XmlElement*> result;
    for (auto* child : parent.getChildIterator())
        if (child->hasTagName (tag))
            result.push_back (child);
    return result;
}

inline const juce::XmlElement* childById (const juce::XmlElement& parent, const juce::String& tag, int id)
{
    for (auto* child : parent.getChildIterator())
        if (child->hasTagName (tag) && child->getIntAttribute ("Id", child->getIntAttribute ("id", -1)) == id)
            return child;
    return nullptr;
}

inline const juce::XmlElement* effectById (const juce::XmlElement& settings, int id)
{
    return childById (settings, "EFFECT", id);
}

// Every device of the program's own data: the three templates, then the devices of the examples.
inline std::vector<const juce::XmlElement*> allDevices (const PresetLibrary& library)
{
    std::vector<const juce::XmlElement*> devices;
    for (int family = 0; library.getElement (family) != nullptr; ++family)
        devices.push_back (library.getElement (family));
    for (auto* application : *library.getList (0))
        for (auto* device : childrenWithTag (*application, "Device"))
            devices.push_back (device);
    return devices;
}

inline juce::String describe (const juce::XmlElement& device)
{
    return device.getStringAttribute ("name") + " (" + familyOf (device).name + ")";
}
} // namespace ResourceTestSupport
