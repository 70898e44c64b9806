#pragma once

#include "document/DeviceFamily.h"
#include "document/PresetLibrary.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace editortest
{
// A device without a model is a "ZELTA M", as the diagram reads it.
inline DeviceFamily familyOf (const juce::XmlElement& device)
{
    return DeviceFamily::fromName (device.getStringAttribute ("model", "ZELTA M"));
}

// Every device the program ships: those of the example applications, then the
// device templates. The callback gets a name for messages and the stored device.
inline void
forEachShippedDevice (const PresetLibrary& library,
                      const std::function<void (const juce::String&, const juce::XmlElement&)>& visit)
{
    if (auto* examples = library.getList (PresetLibrary::exampleCategory))
        for (auto* application : *examples)
        {
            int index = 0;
            for (auto* device : application->getChildWithTagNameIterator ("Device"))
                visit (application->getChildElementAllSubText ("Title", {}) + " device " +
                           juce::String (index++),
                       *device);
        }

    for (int family = 0; family < DeviceFamily::numFamilies; ++family)
        if (auto* templ = library.getElement (family))
            visit ("template " + juce::String (family), *templ);
}

// A left click through the component's mouse handler, pressed and released at
// the given places.
inline void click (juce::Component& component, juce::Point<float> pressed, juce::Point<float> released)
{
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), released,
                                  juce::ModifierKeys::leftButtonModifier, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                  &component, &component, now, pressed, now, 1, false);
    component.mouseUp (event);
}

inline void click (juce::Component& component, juce::Point<float> where)
{
    click (component, where, where);
}

// Lets asynchronous notifications run.
inline void pumpMessages (int milliseconds = 30)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
} // namespace editortest
