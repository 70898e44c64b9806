#pragma once

#include "testing/window/DesktopAtoms.h"
#include "tests/editors/EditorTestSupport.h"

namespace controltest
{
using editortest::familyOf;

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
    editortest::checkPagesOf (combo);
}

inline juce::String attributeOf (const juce::XmlElement* element, const char* name)
{
    return element != nullptr ? element->getStringAttribute (name) : juce::String ("<missing>");
}
} // namespace controltest
