#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The panel over the device diagram that shows the open application's title,
// author and description. The texts are read once; a new panel is built
// whenever an application is opened or saved.
class DescriptionView : public juce::Component
{
public:
    explicit DescriptionView (const juce::XmlElement& application);

    // Lays the description out for a panel `width` pixels wide and sets the
    // panel's size: the description's height + 66.
    void fitToWidth (int width);

    void paint (juce::Graphics&) override;

    const juce::String& getTitleText() const { return title; }
    const juce::String& getAuthorText() const { return author; }
    const juce::String& getDescriptionText() const { return description; }
    juce::Rectangle<int> getDescriptionBounds() const { return descriptionBounds; }

private:
    static constexpr int margin = 10;
    static constexpr int gap = 5;
    static constexpr float fontHeight = 15.0f;

    juce::String title, author, description;
    juce::Rectangle<int> titleBounds{ margin, margin, 380, 18 };
    juce::Rectangle<int> authorBounds{ margin, 33, 380, 18 };
    juce::Rectangle<int> descriptionBounds{ margin, 56, 380, 200 };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DescriptionView)
};
