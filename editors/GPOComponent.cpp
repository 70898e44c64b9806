#include "editors/GPOComponent.h"

GPOComponent::GPOComponent (juce::XmlElement* device, const PresetLibrary* library, const DeviceFamily& row)
    : SetupComponent (device, library, row)
{
    normallyClosedLabel.setName ("Normally Closed Label");
    normallyClosedLabel.setText ("Normal Operation: Closed\n\nStandby/Muted: Open",
                                 juce::dontSendNotification);
    normallyClosedLabel.setColour (juce::Label::textColourId, juce::Colours::grey);
    normallyClosedLabel.setJustificationType (juce::Justification::centred);
    addAndMakeVisible (normallyClosedLabel);
}

GPOComponent::~GPOComponent() = default;

void GPOComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
}

void GPOComponent::resized()
{
    normallyClosedLabel.setBounds (getLocalBounds().reduced (20).withHeight (140));
}
