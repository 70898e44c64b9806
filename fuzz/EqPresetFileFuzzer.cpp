// Feeds arbitrary bytes to the EQ preset file reader, as a file in a preset
// folder might hold (scrambled, plain, or the older ZELTA_EQPRESET format), and
// checks what every listed preset must satisfy.
#include <cstdint>
#include <cstdlib>

#include "document/ParameterLibrary.h"
#include "document/SavedFileFormat.h"
#include "document/SavedFileWriter.h"
#include "document/SettingsDocument.h"
#include "editors/EqPresetFiles.h"

namespace
{
void check (bool condition)
{
    if (!condition)
        std::abort();
}

void checkPreset (const juce::MemoryBlock& input, int category)
{
    const auto preset = readEqPresetFile (input, category);
    if (preset == nullptr)
        return;

    check (isUsableEqPreset (*preset, category));

    // Every listed preset, converted or not, holds only steps its rows can take.
    auto* eq = getFirstChildEffect (*preset);
    int row = 0;
    for (auto* parameter : eq->getChildIterator())
    {
        if (parameter->isTextElement())
            continue;
        int minStep = 0, maxStep = 0;
        getParameterMin (getEqBandTable(), row, minStep);
        getParameterMax (getEqBandTable(), row, maxStep);
        const auto step = parameter->getIntAttribute ("StepValue", -1);
        check (parameter->getIntAttribute ("Id", -1) == row && step >= minStep && step <= maxStep);
        ++row;
    }
    check (row == numEqBandParameters);

    // And a limiter only its peak voltage, then its impedance, each perhaps left
    // out, in the dialog's ranges.
    if (auto* limiter = getNextEffect (*eq))
    {
        check (category == outputEqPresetCategory && getNextEffect (*limiter) == nullptr);
        int lastId = -1;
        for (auto* parameter : limiter->getChildIterator())
        {
            if (parameter->isTextElement())
                continue;
            const auto id = parameter->getIntAttribute ("Id", -1);
            const auto tenths = parameter->getIntAttribute ("StepValue", -1);
            check ((id == limiterVoltageId && lastId == -1 && tenths >= 0 &&
                    tenths <= maxLimiterVoltageTenths) ||
                   (id == limiterImpedanceId && lastId != limiterImpedanceId &&
                    tenths >= minLimiterImpedanceTenths && tenths <= maxLimiterImpedanceTenths));
            lastId = id;
        }

        // The output page of the family without a voltage limit takes the voltage out
        // of the limiter, and the dialog writes the rest back: listed all the same.
        juce::XmlElement withoutVoltage (*preset);
        auto* limiterLeft = getNextEffect (*getFirstChildEffect (withoutVoltage));
        if (auto* voltage = findChildById (*limiterLeft, "PARAMETER", limiterVoltageId))
            limiterLeft->removeChildElement (voltage, true);
        check (readEqPresetFile (createDocumentFileBytes (withoutVoltage, false), category) != nullptr);
    }

    // What is listed is saved and read back as the same preset, scrambled or plain.
    for (bool plain : { false, true })
    {
        const auto again = readEqPresetFile (createDocumentFileBytes (*preset, plain), category);
        check (again != nullptr && again->isEquivalentTo (preset.get(), false));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const juce::MemoryBlock input (data, size);
    checkPreset (input, inputEqPresetCategory);
    checkPreset (input, outputEqPresetCategory);
    return 0;
}
