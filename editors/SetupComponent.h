#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "document/DeviceFamily.h"
#include "document/PresetLibrary.h"

#include <memory>

// The common base of the setup pages: the view of one element of the working
// application (a Device element, or for a matrix call-out a "Matrix Step"
// EFFECT). The main content asks every page two questions: whether it holds
// changes not saved yet, and whether it changed since it was last asked.
//
// A page keeps the state of its widgets in one page-state child of the Device
// element (InputSelection, MatrixSelection, ...), one child per widget, tagged
// by the widget kind and numbered by "id". The helpers below implement that
// convention so that every page stores and compares it the same way.
//
// Message thread only.
class SetupComponent : public juce::Component
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void setupComponentChanged (SetupComponent& page) = 0;
    };

    // The element and the library are borrowed and must outlive the page.
    SetupComponent (juce::XmlElement* element, const PresetLibrary* presets, const DeviceFamily& family);
    ~SetupComponent() override;

    // The page holds changes that are not saved.
    virtual bool isModified() = 0;
    // The page changed since it was last asked; asking clears the answer.
    virtual bool consumeChangeFlag() = 0;

    // A null listener is ignored; adding one twice keeps one entry.
    void addListener (Listener* listener);
    void removeListener (Listener* listener);

    juce::XmlElement* getElement() const noexcept { return element; }
    const DeviceFamily& getFamily() const noexcept { return family; }

    // Store of one widget: the first child with the tag and that id (findChildById),
    // appended with "id" first when missing; then Value, and SelId when given.
    static juce::XmlElement& storeWidget (juce::XmlElement& pageState, const juce::String& widgetTag, int id,
                                          const juce::String& value, const int* selId = nullptr);

    // Tags, attributes (order ignored) and children (in order) compared recursively.
    static bool isSameState (const juce::XmlElement& a, const juce::XmlElement& b);

protected:
    // The page-state child of the element (tag matched ignoring case), appended
    // empty when the element has none. Null when the page has no element.
    juce::XmlElement* findOrCreatePageState (const juce::String& tag);

    // Keeps a deep copy of the page state as the page found it. Pages call this
    // once, after they have normalised the element, so that building a page never
    // counts as a change.
    void takeSnapshot (const juce::XmlElement* pageState);
    bool hasSnapshot() const noexcept { return snapshot != nullptr; }
    // True when there is no snapshot or the page state no longer matches it.
    bool differsFromSnapshot (const juce::XmlElement* pageState) const;

    // Tells every listener, the last added first.
    void notifyListeners();

    // The CORVADINE settings document of the device; null when it has none.
    juce::XmlElement* getSettings() const;

    // Puts the replacement in place of the settings' EFFECT with this Id (its
    // position kept), appends it when there is none, or removes the EFFECT when
    // the replacement is null.
    static void replaceEffect (juce::XmlElement& settings, int effectId,
                               std::unique_ptr<juce::XmlElement> replacement);

    // Puts a copy of the source, renumbered for the channel, in place of the
    // settings' EFFECT with this Id. Nothing when there is no source.
    static void replaceEffectForChannel (juce::XmlElement& settings, int effectId,
                                         const juce::XmlElement* source, int channel);

    // Shows a stored ComboBox widget in the box, telling no one: its SelId
    // selected, or for `customId` (or an id the box lacks) no selection and
    // the stored Value as text. No widget: an empty box.
    static void showStoredSelection (juce::ComboBox& box, const juce::XmlElement* widget, int customId);
    // The text in the box with no item selected, even when an item has that name.
    static void showTextWithoutSelection (juce::ComboBox& box, const juce::String& text);

    // Styles the page's title and shows it.
    void addHeading (juce::Label& heading);
    // Offers every preset of the list that has an Id (as its item id), then "Custom..." as customId.
    static void addPresetItems (juce::ComboBox& box, const juce::OwnedArray<juce::XmlElement>* presetList,
                                int customId);
    // The preset of the list with this Id; null when there is none or no list.
    static const juce::XmlElement* findPresetById (const juce::OwnedArray<juce::XmlElement>* presetList,
                                                   int presetId);

    // For a page whose element is about to leave the document: from now on the
    // page has no element and must not touch the old one.
    void forgetElement() noexcept { element = nullptr; }

    juce::XmlElement* element;
    std::unique_ptr<juce::XmlElement> snapshot;
    const PresetLibrary* const presets;
    juce::ListenerList<Listener> listeners;
    const DeviceFamily family;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SetupComponent)
};
