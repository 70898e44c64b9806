#pragma once

#include "editors/SetupComponent.h"

// The GPO sub-page of the CONTROL page. The general-purpose output has no
// settings: the page only states how it behaves, and writes nothing.
class GPOComponent : public SetupComponent, public juce::ComboBox::Listener
{
public:
    GPOComponent (juce::XmlElement* device, const PresetLibrary* presets, const DeviceFamily& family);
    ~GPOComponent() override;

    bool isModified() override { return false; }
    bool consumeChangeFlag() override { return false; }

    void comboBoxChanged (juce::ComboBox*) override {}
    void paint (juce::Graphics&) override;
    void resized() override;

private:
    juce::Label normallyClosedLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GPOComponent)
};
