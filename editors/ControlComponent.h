#pragma once

#include "editors/ControlTabs.h"
#include "editors/GPIComponent.h"
#include "editors/GPOComponent.h"

// The CONTROL page: the GPI 1, GPI 2 and GPO sub-pages behind a strip of tabs.
// It keeps the two GPI pages consistent (RS232 takes both inputs; two source
// selectors never switch the same output) and forwards their changes to its
// own listeners, so that the main content can mark the outputs a GPI switches
// on the MATRIX page.
class ControlComponent : public SetupComponent, public ControlTabs::Listener, public SetupComponent::Listener
{
public:
    // The device element and the library must outlive the page.
    ControlComponent (juce::XmlElement* device, const PresetLibrary* presets, const DeviceFamily& family);
    ~ControlComponent() override;

    bool isModified() override;
    bool consumeChangeFlag() override;

    // The outputs (bit b = output b + 1) that a GPI source selector switches.
    juce::uint8 getSourceSelectorInputMask() const;

    // Who the GPI pages tell about a refused change.
    void setUserInteraction (UserInteraction& interaction);

    void controlTabChanged (ControlTabs&) override;
    void setupComponentChanged (SetupComponent& page) override;

    void paint (juce::Graphics&) override;
    void resized() override;

    ControlTabs& getTabs() noexcept { return *tabs; }
    GPIComponent& getGpi (int index) noexcept { return index == 0 ? *gpi1 : *gpi2; }
    GPOComponent& getGpo() noexcept { return *gpo; }

private:
    static constexpr int separatorY = 32;

    juce::Rectangle<int> separator;
    std::unique_ptr<ControlTabs> tabs;
    std::unique_ptr<GPIComponent> gpi1, gpi2;
    std::unique_ptr<GPOComponent> gpo;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlComponent)
};
