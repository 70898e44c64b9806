#include "editors/SetupComponent.h"

#include "document/SettingsDocument.h"

SetupComponent::SetupComponent (juce::XmlElement* elementToEdit, const PresetLibrary* presetLibrary,
                                const DeviceFamily& familyRow)
    : element (elementToEdit), presets (presetLibrary), family (familyRow)
{
}

SetupComponent::~SetupComponent() = default;

void SetupComponent::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.add (listener);
}

void SetupComponent::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void SetupComponent::notifyListeners()
{
    listeners.call ([this] (Listener& l) { l.setupComponentChanged (*this); });
}

juce::XmlElement& SetupComponent::storeWidget (juce::XmlElement& pageState, const juce::String& widgetTag,
                                               int id, const juce::String& value, const int* selId)
{
    auto* widget = findChildById (pageState, widgetTag, id);

    if (widget == nullptr)
    {
        widget = pageState.createNewChildElement (widgetTag);
        widget->setAttribute ("id", id);
    }

    widget->setAttribute ("Value", value);

    if (selId != nullptr)
        widget->setAttribute ("SelId", *selId);

    return *widget;
}

bool SetupComponent::isSameState (const juce::XmlElement& a, const juce::XmlElement& b)
{
    return a.isEquivalentTo (&b, true);
}

juce::XmlElement* SetupComponent::findOrCreatePageState (const juce::String& tag)
{
    if (element == nullptr)
        return nullptr;

    if (auto* existing = element->getChildByName (tag))
        return existing;

    return element->createNewChildElement (tag);
}

void SetupComponent::takeSnapshot (const juce::XmlElement* pageState)
{
    snapshot = pageState != nullptr ? std::make_unique<juce::XmlElement> (*pageState) : nullptr;
}

bool SetupComponent::differsFromSnapshot (const juce::XmlElement* pageState) const
{
    if (snapshot == nullptr || pageState == nullptr)
        return true;

    return !isSameState (*snapshot, *pageState);
}

juce::XmlElement* SetupComponent::getSettings() const
{
    return element != nullptr ? element->getChildByName ("CORVADINE") : nullptr;
}

void SetupComponent::replaceEffect (juce::XmlElement& settings, int effectId,
                                    std::unique_ptr<juce::XmlElement> replacement)
{
    auto* existing = findChildById (settings, "EFFECT", effectId);

    if (replacement == nullptr)
    {
        if (existing != nullptr)
            settings.removeChildElement (existing, true);
    }
    else if (existing != nullptr)
    {
        settings.replaceChildElement (existing, replacement.release());
    }
    else
    {
        settings.addChildElement (replacement.release());
    }
}

void SetupComponent::replaceEffectForChannel (juce::XmlElement& settings, int effectId,
                                              const juce::XmlElement* source, int channel)
{
    if (source == nullptr)
        return;

    auto copy = std::make_unique<juce::XmlElement> (*source);
    renumberChannelEffects (*copy, channel);
    replaceEffect (settings, effectId, std::move (copy));
}

void SetupComponent::showStoredSelection (juce::ComboBox& box, const juce::XmlElement* widget, int customId)
{
    const int selectedId = widget != nullptr ? widget->getIntAttribute ("SelId", 0) : 0;
    box.setSelectedId (selectedId == customId ? 0 : selectedId, juce::dontSendNotification);

    if (box.getSelectedId() == 0)
        showTextWithoutSelection (box,
                                  widget != nullptr ? widget->getStringAttribute ("Value") : juce::String());
}

void SetupComponent::showTextWithoutSelection (juce::ComboBox& box, const juce::String& text)
{
    box.setSelectedId (0, juce::dontSendNotification);

    // Not through ComboBox::setText, which would select an item of the same name:
    // a custom EQ named like a preset must not turn into that preset.
    for (auto* child : box.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            label->setText (text, juce::dontSendNotification);
}

void SetupComponent::addHeading (juce::Label& heading)
{
    heading.setFont (juce::Font (19.0f, juce::Font::bold));
    heading.setJustificationType (juce::Justification::centred);
    heading.setColour (juce::Label::textColourId, juce::Colours::grey);
    addAndMakeVisible (heading);
}

void SetupComponent::addPresetItems (juce::ComboBox& box,
                                     const juce::OwnedArray<juce::XmlElement>* presetList, int customId)
{
    if (presetList != nullptr)
        for (auto* preset : *presetList)
            if (const int id = preset->getIntAttribute ("Id", 0); id != 0)
                box.addItem (preset->getStringAttribute ("Name"), id);

    box.addItem ("Custom...", customId);
}

const juce::XmlElement* SetupComponent::findPresetById (const juce::OwnedArray<juce::XmlElement>* presetList,
                                                        int presetId)
{
    if (presetList != nullptr)
        for (auto* preset : *presetList)
            if (preset->getIntAttribute ("Id", 0) == presetId)
                return preset;
    return nullptr;
}
