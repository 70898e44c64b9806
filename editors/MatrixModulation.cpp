#include "editors/MatrixModulation.h"

#include "document/SettingsDocument.h"
#include "editors/ParameterValue.h"

#include <algorithm>

namespace
{
constexpr double voltsPerStep = 3.3 / 1024.0;

int firstIntervalParameterId (int k)
{
    return 1 + 18 * (k - 1);
}

juce::XmlElement* newParameter (juce::XmlElement& parent, const juce::String& name, int id)
{
    auto* parameter = parent.createNewChildElement ("PARAMETER");
    parameter->setAttribute ("Name", name);
    parameter->setAttribute ("Id", id);
    return parameter;
}
} // namespace

MatrixModulation::MatrixModulation (juce::XmlElement* settings, int index, const juce::XmlElement* preset)
    : corvadine (settings), gpiIndex (index), firstMatrixPreset (preset)
{
}

MatrixModulation::~MatrixModulation() = default;

MatrixModulation::Change MatrixModulation::update (bool sourceSelector)
{
    if (corvadine == nullptr)
        return Change::none;

    if (!sourceSelector)
    {
        if (live == nullptr)
            return Change::none;

        parked = std::make_unique<juce::XmlElement> (*live);
        corvadine->removeChildElement (live, true);
        live = nullptr;
        return Change::removed;
    }

    if (live != nullptr)
        return Change::none;

    generated = false;

    if (parked != nullptr)
    {
        live = parked.release();
        corvadine->addChildElement (live);
    }
    else
    {
        live = findChildById (*corvadine, "MATRIXMOD", elementId());
        if (live == nullptr)
            generate();
    }

    return live != nullptr ? Change::madeLive : Change::none;
}

void MatrixModulation::generate()
{
    // Without a matrix to start the steps from, a MATRIXMOD would switch to
    // nothing; none is written then.
    const auto* matrix = firstMatrixPreset != nullptr ? firstMatrixPreset->getFirstChildElement() : nullptr;
    if (corvadine == nullptr || matrix == nullptr)
        return;

    const auto number = juce::String (gpiIndex + 1);
    generated = true;
    live = corvadine->createNewChildElement ("MATRIXMOD");
    live->setAttribute ("Name", "MatrixMod" + number);
    live->setAttribute ("Id", elementId());

    auto* source = live->createNewChildElement ("EFFECT");
    newParameter (*source, "GPI" + number, 0)->setAttribute ("StepValue", gpiIndex + 2);

    for (int k = 1; k <= positions; ++k)
    {
        const auto a = firstIntervalParameterId (k);
        auto* interval = live->createNewChildElement ("EFFECT");
        interval->setAttribute ("Name", "Interval Values " + juce::String (k));
        interval->setAttribute ("Id", 2 * k - 1);

        for (auto [name, id] : { std::pair<const char*, int>{ "XMIN", a }, { "XMAX", a + 1 } })
        {
            auto* bound = newParameter (*interval, name, id);
            bound->setAttribute ("DisplayValue", "0");
            bound->setAttribute ("StepValue", 256);
        }

        auto* step = new juce::XmlElement (*matrix);
        step->setAttribute ("Name", "Matrix Step " + juce::String (k));
        step->setAttribute ("Id", 2 * k);

        int id = a + 2;
        for (auto* child : step->getChildIterator())
            child->setAttribute ("Id", id++);

        live->addChildElement (step);
    }
}

juce::XmlElement* MatrixModulation::findStep (int k) const
{
    return live != nullptr ? findChildById (*live, "EFFECT", 2 * k) : nullptr;
}

bool MatrixModulation::ensureSteps()
{
    const auto complete = [this]
    {
        for (int k = 1; k <= positions; ++k)
            if (findStep (k) == nullptr)
                return false;
        return true;
    };

    if (live == nullptr)
        return false;
    if (complete())
        return true;

    corvadine->removeChildElement (live, true);
    live = nullptr;
    generate();
    return live != nullptr && complete();
}

MatrixModulation::Intervals MatrixModulation::computeIntervals (const std::array<int, positions>& values,
                                                                const std::array<bool, positions>& enabled)
{
    std::array<int, positions> order{};
    int used = 0;
    for (int k = 0; k < positions; ++k)
        if (enabled[(size_t)k])
            order[(size_t)used++] = k;

    std::stable_sort (order.begin(), order.begin() + used,
                      [&] (int a, int b) { return values[(size_t)a] < values[(size_t)b]; });

    Intervals intervals;
    for (int i = 0; i < used; ++i)
    {
        auto& interval = intervals[(size_t)order[(size_t)i]];
        interval.lower = i == 0 ? 0 : intervals[(size_t)order[(size_t)i - 1]].upper + 1;
        interval.upper =
            i == used - 1
                ? adcMaximum
                : (int)((values[(size_t)order[(size_t)i]] + values[(size_t)order[(size_t)i + 1]]) * 0.5 -
                        1.0);
    }
    return intervals;
}

juce::String MatrixModulation::intervalText (int steps)
{
    return juce::String (steps * voltsPerStep, 1) + "V";
}

void MatrixModulation::writeIntervals (const std::array<int, positions>& values,
                                       const std::array<bool, positions>& enabled)
{
    if (live == nullptr)
        return;

    const auto intervals = computeIntervals (values, enabled);

    for (int k = 1; k <= positions; ++k)
    {
        auto* effect = findChildById (*live, "EFFECT", 2 * k - 1);
        if (effect == nullptr)
            continue;

        const auto& interval = intervals[(size_t)k - 1];
        const auto a = firstIntervalParameterId (k);

        for (auto [id, value] : { std::pair<int, int>{ a, interval.lower }, { a + 1, interval.upper } })
            if (auto* bound = findChildById (*effect, "PARAMETER", id))
                setParameterValue (*bound, value, intervalText (value));
    }
}
