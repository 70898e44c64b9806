#include "editors/EQSlider.h"

#include "document/ParameterLibrary.h"
#include "editors/EqValueText.h"
#include "look/ColourScheme.h"

namespace
{
constexpr int textBufferSize = 64;
} // namespace

EQSlider::EQSlider (int tableRow) : juce::Slider (LinearBarVertical, TextBoxBelow), row (tableRow)
{
    resetSiPrefixes();

    const auto* table = getEqBandTable();
    int minStep = 0, maxStep = 0;
    getParameterMin (table, row, minStep);
    getParameterMax (table, row, maxStep);
    setRange (minStep, maxStep, 1.0);
    // Asynchronous, so that a listener added right after construction hears of it.
    setValue ((minStep + maxStep) / 2, juce::sendNotificationAsync);

    setVelocityBasedMode (true);
    setVelocityModeParameters (5.0, 1, 0.0, true);

    const auto outline = findColour (accentColourId, false).brighter (0.4f);
    setColour (textBoxOutlineColourId, outline);
    setColour (textBoxHighlightColourId, outline);
}

juce::String EQSlider::textForStep (int tableRow, int step)
{
    char text[textBufferSize] = {};

    if (formatParameterValue (getEqBandTable(), tableRow, step, 0, text, textBufferSize) != parameterOk)
        return {};

    return juce::String::fromUTF8 (text);
}

juce::String EQSlider::getTextFromValue (double value)
{
    if (!isEnabled())
        return "-";

    return textForStep (row, (int)value);
}

double EQSlider::getValueFromText (const juce::String& text)
{
    if (const auto step = stepFromValueText (text, row))
        return *step;

    return getValue();
}
