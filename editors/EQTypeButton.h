#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Filter types of an EQ band: the StepValue of a band's type parameter.
constexpr int numEqTypes = 13;
constexpr int bandEqType = 6;
// Not a band type: the limiter row's button shows "LIM".
constexpr int limiterEqType = 13;

// Names of the type menu, by type.
extern const char* const eqTypeNames[numEqTypes];
// The names that older preset files give the types, by type.
extern const char* const eqTypeShortNames[numEqTypes];

// The small square button of one EQ band: it shows the band's filter type as a
// drawn response curve. Clicking is the framework button's; the EQ dialog
// opens its type menu on a click.
class EQTypeButton : public juce::Button
{
public:
    EQTypeButton();

    // Any number is kept; types outside 0..12 show no curve, 13 shows "LIM".
    void setType (int newType);
    int getType() const noexcept { return type; }
    // The curve as it is drawn, fitted into the button.
    const juce::Path& getIcon() const noexcept { return icon; }

    void resized() override;

protected:
    void paintButton (juce::Graphics&, bool isMouseOver, bool isButtonDown) override;

private:
    static juce::Path createIcon (int type);

    int type = bandEqType;
    juce::Path icon;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EQTypeButton)
};
