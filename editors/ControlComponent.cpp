#include "editors/ControlComponent.h"

ControlComponent::ControlComponent (juce::XmlElement* device, const PresetLibrary* library,
                                    const DeviceFamily& row)
    : SetupComponent (device, library, row)
{
    tabs = std::make_unique<ControlTabs>();
    tabs->addListener (this);
    addAndMakeVisible (*tabs);

    gpi1 = std::make_unique<GPIComponent> (0, device, library, row);
    addAndMakeVisible (*gpi1);

    gpi2 = std::make_unique<GPIComponent> (1, device, library, row);
    addAndMakeVisible (*gpi2);
    gpi2->setVisible (false);

    gpo = std::make_unique<GPOComponent> (device, library, row);
    addAndMakeVisible (*gpo);
    gpo->setVisible (false);

    gpi1->setOtherGpiOutputMask (gpi2->getSourceSelectorInputMask());

    gpi1->addListener (this);
    gpi2->addListener (this);
}

ControlComponent::~ControlComponent()
{
    gpo.reset();
    gpi2.reset();
    gpi1.reset();
    tabs.reset();
}

bool ControlComponent::isModified()
{
    const auto first = gpi1->isModified();
    const auto second = gpi2->isModified();
    const auto third = gpo->isModified();
    return first || second || third;
}

bool ControlComponent::consumeChangeFlag()
{
    // A page not asked keeps its flag for the next poll.
    return gpi1->consumeChangeFlag() || gpi2->consumeChangeFlag() || gpo->consumeChangeFlag();
}

juce::uint8 ControlComponent::getSourceSelectorInputMask() const
{
    return (juce::uint8) (gpi1->getSourceSelectorInputMask() | gpi2->getSourceSelectorInputMask());
}

void ControlComponent::setUserInteraction (UserInteraction& interaction)
{
    gpi1->setUserInteraction (interaction);
    gpi2->setUserInteraction (interaction);
}

void ControlComponent::controlTabChanged (ControlTabs& strip)
{
    switch (strip.getSelectedTab())
    {
        case 0:
            gpi1->setVisible (true);
            gpi1->setOtherGpiOutputMask (gpi2->getSourceSelectorInputMask());
            gpi1->followOtherRs232 (gpi2->getFunctionIndex() == GPIComponent::rs232);
            gpi2->setVisible (false);
            gpo->setVisible (false);
            break;
        case 1:
            gpi1->setVisible (false);
            gpi2->setVisible (true);
            gpi2->setOtherGpiOutputMask (gpi1->getSourceSelectorInputMask());
            gpi2->followOtherRs232 (gpi1->getFunctionIndex() == GPIComponent::rs232);
            gpo->setVisible (false);
            break;
        case 2:
            gpi1->setVisible (false);
            gpi2->setVisible (false);
            gpo->setVisible (true);
            break;
        default:
            break;
    }

    repaint();
}

void ControlComponent::setupComponentChanged (SetupComponent& page)
{
    if (&page == gpi1.get())
    {
        gpi2->followOtherRs232 (gpi1->getFunctionIndex() == GPIComponent::rs232);
        gpi2->writeGpiFunctionParameter();
    }
    else if (&page == gpi2.get())
    {
        gpi1->followOtherRs232 (gpi2->getFunctionIndex() == GPIComponent::rs232);
        gpi1->writeGpiFunctionParameter();
    }

    notifyListeners();
}

void ControlComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::white);
    g.setColour (findColour (juce::ResizableWindow::backgroundColourId));
    g.fillRect (separator);
}

void ControlComponent::resized()
{
    tabs->setBounds (0, 0, getWidth(), 22);
    for (juce::Component* page :
         { (juce::Component*)gpi1.get(), (juce::Component*)gpi2.get(), (juce::Component*)gpo.get() })
        page->setBounds (0, 33, getWidth(), getHeight() - 33);
    separator = { 0, separatorY, getWidth(), 1 };
}
