#include "editors/SetupComponent.h"

#include <gtest/gtest.h>

namespace
{
// The least page: one page-state element, snapshot taken once it exists.
class StatePage : public SetupComponent
{
public:
    explicit StatePage (juce::XmlElement& device)
        : SetupComponent (&device, nullptr, DeviceFamily::fromId (1))
    {
        state = findOrCreatePageState ("InputSelection");
        takeSnapshot (state);
    }

    bool isModified() override { return differsFromSnapshot (state); }
    bool consumeChangeFlag() override { return false; }
    void tellListeners() { notifyListeners(); }

    juce::XmlElement* state = nullptr;
};

struct RecordingListener : SetupComponent::Listener
{
    explicit RecordingListener (juce::StringArray& logToUse, const char* nameToLog)
        : log (logToUse), name (nameToLog)
    {
    }
    void setupComponentChanged (SetupComponent&) override { log.add (name); }
    juce::StringArray& log;
    const char* name;
};
} // namespace

TEST (SetupComponent, StoresWidgetsInPlaceWithIdFirst)
{
    juce::XmlElement state ("InputSelection");
    const int one = 1;
    SetupComponent::storeWidget (state, "ComboBox", 2, "Line", &one);
    SetupComponent::storeWidget (state, "ComboBox", 2, "Vocal", nullptr);

    ASSERT_EQ (state.getNumChildElements(), 1);
    auto* combo = state.getChildElement (0);
    EXPECT_EQ (combo->getAttributeName (0), "id");
    EXPECT_EQ (combo->getAttributeName (1), "Value");
    EXPECT_EQ (combo->getAttributeName (2), "SelId");
    EXPECT_EQ (combo->getStringAttribute ("Value"), "Vocal");
    EXPECT_EQ (combo->getIntAttribute ("SelId"), 1); // kept when not given
}

TEST (SetupComponent, BuildingNormalisesBeforeTheSnapshotAndComparesIgnoringAttributeOrder)
{
    juce::XmlElement device ("Device");
    StatePage page (device);

    // A device without the element gets one, and that alone is no change.
    ASSERT_NE (device.getChildByName ("inputselection"), nullptr);
    EXPECT_FALSE (page.isModified());

    page.state->createNewChildElement ("ComboBox");
    EXPECT_TRUE (page.isModified());

    juce::XmlElement device2 ("Device");
    auto* saved = device2.createNewChildElement ("INPUTSELECTION");
    auto* a = saved->createNewChildElement ("ComboBox");
    a->setAttribute ("id", 0);
    a->setAttribute ("Value", "Line");
    auto* b = saved->createNewChildElement ("ComboBox");
    b->setAttribute ("id", 1);
    StatePage page2 (device2);
    EXPECT_EQ (page2.state, saved); // found ignoring case, not duplicated

    a->removeAttribute ("id");
    a->setAttribute ("id", 0); // now after Value
    EXPECT_FALSE (page2.isModified());

    saved->removeChildElement (a, false);
    saved->addChildElement (a); // children swapped
    EXPECT_TRUE (page2.isModified());
}

TEST (SetupComponent, ListenersAreToldOnceEachLastAddedFirst)
{
    juce::XmlElement device ("Device");
    StatePage page (device);
    juce::StringArray log;
    RecordingListener first (log, "first"), second (log, "second");

    page.addListener (&first);
    page.addListener (&second);
    page.addListener (&first);
    page.addListener (nullptr);
    page.tellListeners();

    EXPECT_EQ (log.joinIntoString (","), "second,first");
}
