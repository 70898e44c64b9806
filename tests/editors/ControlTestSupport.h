#pragma once

#include "tests/editors/EditorTestSupport.h"

#include <dlfcn.h>

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

// The framework asks the X server for the window-manager atoms without creating
// them; a bare test server without a window manager has none, and the first
// desktop window then fails. Creates them, as a window manager would, over a
// connection kept open for the whole run: the server forgets its atoms when its
// last client leaves.
inline void internWindowManagerAtoms()
{
    static const bool interned = []
    {
        auto* x11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (x11 == nullptr)
            return false;

        using OpenDisplay = void* (*)(const char*);
        using InternAtom = unsigned long (*) (void*, const char*, int);
        auto open = reinterpret_cast<OpenDisplay> (dlsym (x11, "XOpenDisplay"));
        auto intern = reinterpret_cast<InternAtom> (dlsym (x11, "XInternAtom"));
        auto* display = open != nullptr && intern != nullptr ? open (nullptr) : nullptr;
        if (display == nullptr)
            return false;

        for (auto* name :
             { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING", "WM_CHANGE_STATE",
               "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN" })
            intern (display, name, 0);
        return true;
    }();
    juce::ignoreUnused (interned);
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
