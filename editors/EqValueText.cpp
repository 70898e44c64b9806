#include "editors/EqValueText.h"

#include "document/ParameterLibrary.h"
#include "editors/EQTypeButton.h"

std::optional<double> readEqValueText (const juce::String& text)
{
    auto t = text.trimStart();
    int end = 0;

    if (t[end] == '-' || t[end] == '+')
        ++end;

    const int digitsStart = end;
    bool anyDigit = false;

    while (juce::CharacterFunctions::isDigit (t[end]) ||
           (t[end] == '.' && !t.substring (digitsStart, end).containsChar ('.')))
    {
        anyDigit = anyDigit || t[end] != '.';
        ++end;
    }

    if (!anyDigit)
        return std::nullopt;

    auto value = t.substring (0, end).getDoubleValue();
    const auto prefix = juce::CharacterFunctions::toLowerCase (t.substring (end).trimStart()[0]);

    if (prefix == 'k')
        value *= 1.0e3;
    else if (prefix == 'm')
        value *= 1.0e6;

    return value;
}

std::optional<int> stepFromValueText (const juce::String& text, int row)
{
    const auto value = readEqValueText (text);
    if (!value)
        return std::nullopt;

    const auto* table = getEqBandTable();
    int step = 0, minStep = 0, maxStep = 0;

    if (parseParameterValue (table, row, *value, step) != parameterOk ||
        getParameterMin (table, row, minStep) != parameterOk ||
        getParameterMax (table, row, maxStep) != parameterOk)
        return std::nullopt;

    return juce::jlimit (minStep, maxStep, step);
}

int eqTypeIndexFromName (const juce::String& text)
{
    for (int type = 0; type < numEqTypes; ++type)
        if (text.containsIgnoreCase (eqTypeShortNames[type]))
            return type;
    return -1;
}
