#pragma once

#include "document/CorvadineXmlToSyx.h"
#include "document/DeviceFamily.h"
#include "document/SettingsDocument.h"
#include "document/SettingsSyxToXml.h"
#include "document/PresetLibrary.h"
#include "editors/SetupComponent.h"
#include "testing/user/ScriptedUserInteraction.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

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

// What every page must leave behind after any action: no two EFFECTs of the
// device's settings share an Id (the block would carry both to the amplifier).
inline void expectDistinctEffectIds (const juce::XmlElement& device)
{
    const auto* settings = device.getChildByName ("CORVADINE");
    if (settings == nullptr)
        return;

    std::map<int, int> seen;
    for (auto* effect : settings->getChildWithTagNameIterator ("EFFECT"))
    {
        const auto id = effect->getStringAttribute ("Id", effect->getStringAttribute ("id"));
        if (id.isNotEmpty())
            EXPECT_EQ (++seen[id.getIntValue()], 1) << "two EFFECTs with Id " << id << " after a page action";
    }
}

// The common checks, on the device of the page and of every page it sits on.
inline void checkPagesOf (juce::Component& pageOrControl)
{
    for (auto* component = &pageOrControl; component != nullptr; component = component->getParentComponent())
        if (auto* page = dynamic_cast<SetupComponent*> (component))
            if (auto* device = page->getElement())
                expectDistinctEffectIds (*device);
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
    checkPagesOf (component);
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

// Delivers every message posted so far: a marker goes to the back of the queue
// and the loop runs until it arrives (generous limit, no fixed wait).
inline void deliverPendingMessages()
{
    auto arrived = std::make_shared<std::atomic<bool>> (false);
    juce::MessageManager::callAsync ([arrived] { *arrived = true; });

    for (int i = 0; i < 10000 && !*arrived; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
}

// The user picks an entry of the box; the page hears of it as from the popup.
inline void choose (juce::ComboBox& box, int itemId)
{
    box.setSelectedId (itemId, juce::sendNotificationAsync);
    deliverPendingMessages();
    checkPagesOf (box);
}

// A click as the mouse makes it: the button calls its listeners from the loop.
inline void pressButton (juce::Button& button)
{
    button.triggerClick();
    deliverPendingMessages();
    checkPagesOf (button);
}

// What a user's typing leaves in a slider's text box when they press return.
inline void typeInto (juce::Slider& slider, const juce::String& text)
{
    for (auto* child : slider.getChildren())
        if (auto* box = dynamic_cast<juce::Label*> (child))
            box->setText (text, juce::sendNotificationSync);
    checkPagesOf (slider);
}

inline juce::String shownText (juce::Slider& slider)
{
    for (auto* child : slider.getChildren())
        if (auto* box = dynamic_cast<juce::Label*> (child))
            return box->getText();
    return {};
}

// A Documents folder of its own, removed with the test.
struct TemporaryDocuments
{
    TemporaryDocuments() { folder.createDirectory(); }
    ~TemporaryDocuments() { folder.deleteRecursively(); }

    juce::File folder = juce::File::createTempFile ("documents");
};

// The device with its page-state child of this tag taken out, for comparing
// everything a page must leave alone.
inline std::unique_ptr<juce::XmlElement> withoutChild (const juce::XmlElement& device,
                                                       const juce::String& tag)
{
    auto copy = std::make_unique<juce::XmlElement> (device);
    while (auto* child = copy->getChildByName (tag))
        copy->removeChildElement (child, true);
    return copy;
}

// The device as reading it back from an amplifier gives it: its settings went
// through a settings block, so effects and parameters carry Ids and steps only.
inline std::unique_ptr<juce::XmlElement> asReadBack (const juce::XmlElement& device)
{
    auto copy = std::make_unique<juce::XmlElement> (device);
    auto* settings = copy->getChildByName ("CORVADINE");
    if (settings == nullptr)
        return copy;

    const auto sent = copyChildrenById (*settings, "EFFECT");
    CorvadineXmlToSyx writer (*sent);
    juce::MemoryOutputStream block;
    writer.convertAndWrite (block);
    juce::MemoryInputStream input (block.getData(), block.getDataSize(), false);
    copy->replaceChildElement (settings, SettingsSyxToXml (input).createXml().release());
    return copy;
}

// Every shipped device, as stored and as read back from an amplifier.
inline void forEachShippedDeviceAndItsReadBack (
    const PresetLibrary& library,
    const std::function<void (const juce::String&, const juce::XmlElement&)>& visit)
{
    forEachShippedDevice (library,
                          [&] (const juce::String& where, const juce::XmlElement& device)
                          {
                              visit (where, device);
                              visit (where + " read back", *asReadBack (device));
                          });
}
} // namespace editortest
