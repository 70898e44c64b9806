#pragma once

#include "document/DeviceFamily.h"
#include "document/PresetLibrary.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace controltest
{
// Runs the message loop until every message posted so far, and the messages
// those post in turn (a few rounds deep), has been delivered. Waits on a
// marker message, not on time.
inline void settle (int rounds = 6)
{
    auto* manager = juce::MessageManager::getInstance();
    for (int round = 0; round < rounds; ++round)
    {
        auto delivered = std::make_shared<bool> (false);
        juce::MessageManager::callAsync ([delivered] { *delivered = true; });
        for (int slice = 0; slice < 2000 && !*delivered; ++slice)
            manager->runDispatchLoopUntil (5);
        ASSERT_TRUE (*delivered) << "the message loop did not get round to the marker";
    }
}

// The family a device element stands for; devices without a model are of the
// four-output family, as the diagram takes them.
inline DeviceFamily familyOf (const juce::XmlElement& device)
{
    const auto model = device.getStringAttribute ("model");
    return DeviceFamily::fromName (model.isEmpty() ? "ZELTA M" : model);
}

// Copies of every device of the example applications and the device templates.
inline juce::OwnedArray<juce::XmlElement> exampleDevices (const PresetLibrary& library)
{
    juce::OwnedArray<juce::XmlElement> devices;
    if (auto* examples = library.getList (PresetLibrary::exampleCategory))
        for (auto* application : *examples)
            for (auto* device : application->getChildWithTagNameIterator ("Device"))
                devices.add (new juce::XmlElement (*device));
    for (int id = 0; id < DeviceFamily::numFamilies; ++id)
        if (auto* deviceTemplate = library.getElement (id))
            devices.add (new juce::XmlElement (*deviceTemplate));
    return devices;
}

template <typename Type> Type& child (juce::Component& parent, const juce::String& componentId)
{
    auto* found = dynamic_cast<Type*> (parent.findChildWithID (componentId));
    if (found == nullptr)
        throw std::runtime_error (("no control " + componentId).toStdString());
    return *found;
}

// A user's choice in a combo box: the change arrives as the box reports it.
inline void choose (juce::ComboBox& combo, int itemId)
{
    combo.setSelectedId (itemId, juce::sendNotificationSync);
    settle();
}

inline juce::String attributeOf (const juce::XmlElement* element, const char* name)
{
    return element != nullptr ? element->getStringAttribute (name) : juce::String ("<missing>");
}
} // namespace controltest
