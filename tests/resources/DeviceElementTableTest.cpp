// Checks every device template and every device of the example applications against the
// element table of resources/README.md: the elements the setup pages, the matrix modulation,
// the control pages and the programming road read or write, with their value ranges.

#include <gtest/gtest.h>
#include "document/ParameterLibrary.h"
#include "document/PresetLibrary.h"
#include "ResourceTestSupport.h"

#include <climits>
#include <functional>

using namespace ResourceTestSupport;

namespace
{
struct ParameterRow
{
    int id;
    juce::String name;
    int min, max;
};

enum class Scope
{
    once,
    perInput,
    perOutput
};

struct EffectRow
{
    juce::String tag;
    juce::String stem; // per-channel rows: stem + channel number + " Preset"
    Scope scope;
    std::vector<int> ids;
    std::vector<ParameterRow> parameters;

    juce::String nameFor (int channel) const
    {
        return scope == Scope::once ? stem : stem + juce::String (channel + 1) + " Preset";
    }
};

std::vector<ParameterRow> eqRows (int bands)
{
    const char* kinds[] = { "Type", "Gain", "Freq", "Width" };
    std::vector<ParameterRow> rows;
    for (int row = 0; row < 4 * bands; ++row)
    {
        int low = 0, high = 0;
        getParameterMin (getEqBandTable(), row, low);
        getParameterMax (getEqBandTable(), row, high);
        const auto name =
            bands == 1 ? juce::String (kinds[row]) : juce::String (row / 4 + 1) + ": " + kinds[row % 4];
        rows.push_back ({ row, name, low, high });
    }
    return rows;
}

std::vector<EffectRow> elementTable()
{
    std::vector<ParameterRow> router;
    for (int i = 0; i < 4; ++i)
    {
        const auto n = juce::String (i + 1);
        router.push_back ({ i, "Input Gain " + n, -200, 48 });
        router.push_back ({ 4 + i, "Output Gain " + n + "A", -200, 48 });
        router.push_back ({ 9 + i, "Output Gain " + n + "B", -200, 48 });
        router.push_back ({ 13 + i, "Output Gain " + n + "C", -200, 48 });
        router.push_back ({ 17 + i, "Output Gain " + n + "D", -200, 48 });
        router.push_back ({ 21 + i, "Input Gain " + n + "B", -200, 48 });
    }
    router.push_back ({ 8, "Clip Level", -200, 48 });

    std::vector<ParameterRow> matrix, volumes;
    for (int point = 0; point < 16; ++point)
        matrix.push_back (
            { point, "In" + juce::String ((point & 3) + 1) + " to Out" + juce::String ((point >> 2) + 1), -61,
              1 });
    for (int i = 0; i < 4; ++i)
        volumes.push_back ({ i, "Volume " + juce::String (i + 1), -200, 48 });

    return {
        { "EFFECT", "Router Preset", Scope::once, { 0 }, router },
        { "EFFECT", "PEQ", Scope::perInput, { 12, 14, 16, 18 }, eqRows (4) },
        { "EFFECT", "Matrix4x4 Preset", Scope::once, { 20 }, matrix },
        { "EFFECT", "EQ", Scope::perOutput, { 22, 24, 64, 66 }, eqRows (4) },
        { "EFFECT",
          "QMX",
          Scope::perOutput,
          { 26, 28, 68, 70 },
          { { 5, "Bypass", 0, 1 },
            { 31, "Low Gain", 0, 49 },
            { 32, "Mid Gain", 0, 49 },
            { 33, "High Gain", 0, 49 } } },
        { "EFFECT", "Router1 Preset", Scope::once, { 32 }, volumes },
        { "EFFECT", "Apm", Scope::perOutput, { 34, 36, 72, 74 }, { { 7, "V Lim", 0, 500 } } },
        { "EFFECT", "SingleBand", Scope::perOutput, { 78, 80, 82, 84 }, eqRows (1) },
        { "EFFECT", "Delay", Scope::perOutput, { 88, 90, 92, 94 }, { { 0, "Time", 0, 6143 } } },
        { "CONTROLS",
          "Controls",
          Scope::once,
          { 0 },
          { { 1, "GPI1 Function", 0, 4 }, { 2, "GPI2 Function", 0, 4 }, { 3, "GPO Function", 0, 1 } } },
    };
}

const char* functionNames[] = {
    "No Function", "Output Level", "Source Selector", "Mute All", "Wake", "RS232"
};
const int functionSteps[] = { 3, 0, 0, 1, 2, 4 };
const char* inputTypes[] = { "Closing Contact", "2 Position Resistor Ladder", "3 Position Resistor Ladder",
                             "4 Position Resistor Ladder" };
const int fullOutputSets[] = { 0x01, 0x02, 0x04, 0x08, 0x03, 0x05, 0x09, 0x06,
                               0x0A, 0x0C, 0x07, 0x0B, 0x0D, 0x0E, 0x0F };

std::vector<int> outputSetsOf (const Family& family)
{
    if (juce::String (family.name) == "ZELTA")
        return { 0x01, 0x02, 0x03 };
    if (juce::String (family.name) == "ZELTA 70")
        return { 0x01 };
    return std::vector<int> (std::begin (fullOutputSets), std::end (fullOutputSets));
}

juce::String outputSetName (int mask)
{
    const char* names[] = { "SPK1", "SPK2", "OUT3", "OUT4" };
    juce::StringArray parts;
    for (int b = 0; b < 4; ++b)
        if (mask & (1 << b))
            parts.add (names[b]);
    return parts.joinIntoString (" and ");
}

const juce::XmlElement* presetById (const juce::OwnedArray<juce::XmlElement>& list, int id)
{
    for (auto* preset : list)
        if (preset->getIntAttribute ("Id") == id)
            return preset;
    return nullptr;
}

std::vector<int> stepValues (const juce::XmlElement& element)
{
    std::vector<int> values;
    for (auto* parameter : element.getChildIterator())
        values.push_back (parameter->getIntAttribute ("StepValue"));
    return values;
}

// The widget children of a page-state element, by tag, in document order.
std::vector<int> widgetIds (const juce::XmlElement& state, const juce::String& tag)
{
    std::vector<int> ids;
    for (auto* child : childrenWithTag (state, tag))
        ids.push_back (child->getIntAttribute ("id", -1));
    return ids;
}

std::vector<int> zeroTo (int count, int offset = 0)
{
    std::vector<int> ids;
    for (int i = 0; i < count; ++i)
        ids.push_back (offset + i);
    return ids;
}

// The voltage band each enabled switch position owns, as the GPI page writes it.
std::vector<std::pair<int, int>> intervalBounds (const int knobs[4], int positions)
{
    std::vector<std::pair<int, int>> bounds (4, { 2048, 2048 });
    std::vector<int> order;
    for (int k = 0; k < positions; ++k)
        order.push_back (k);
    std::stable_sort (order.begin(), order.end(), [&] (int a, int b) { return knobs[a] < knobs[b]; });
    int upper = -1;
    for (size_t i = 0; i < order.size(); ++i)
    {
        const int lower = i == 0 ? 0 : upper + 1;
        upper = i + 1 == order.size() ? 1023 : (int)((knobs[order[i]] + knobs[order[i + 1]]) * 0.5 - 1.0);
        bounds[(size_t)order[i]] = { lower, upper };
    }
    return bounds;
}

class DeviceElementTable : public ::testing::Test
{
protected:
    juce::SharedResourcePointer<PresetLibrary> library;
};
} // namespace

TEST_F (DeviceElementTable, ChannelLabelsAndSettingsElements)
{
    const auto table = elementTable();
    int devices = 0;
    for (auto* device : allDevices (*library))
    {
        SCOPED_TRACE (describe (*device).toStdString());
        const auto family = familyOf (*device);
        ++devices;

        const int counts[] = { family.inputs, family.outputs, 2, 1 };
        const char* tags[] = { "Input", "Output", "GPI", "GPO" };
        for (int t = 0; t < 4; ++t)
        {
            EXPECT_EQ (widgetIds (*device, tags[t]), zeroTo (counts[t])) << tags[t];
            for (auto* label : childrenWithTag (*device, tags[t]))
                EXPECT_FALSE (label->getStringAttribute ("label").isEmpty());
        }

        auto* settings = device->getChildByName ("CORVADINE");
        ASSERT_NE (settings, nullptr);
        EXPECT_EQ (settings->getStringAttribute ("CorvadineRev"), "2");

        for (auto& row : table)
        {
            const int channels = row.scope == Scope::perInput    ? family.inputs
                                 : row.scope == Scope::perOutput ? family.outputs
                                                                 : 1;
            for (int channel = 0; channel < channels; ++channel)
            {
                auto* element = childById (*settings, row.tag, row.ids[(size_t)channel]);
                ASSERT_NE (element, nullptr) << row.nameFor (channel);
                EXPECT_EQ (element->getStringAttribute ("Name"), row.nameFor (channel));
                for (auto& parameterRow : row.parameters)
                {
                    auto* parameter = childById (*element, "PARAMETER", parameterRow.id);
                    ASSERT_NE (parameter, nullptr) << row.nameFor (channel) << " " << parameterRow.name;
                    EXPECT_EQ (parameter->getStringAttribute ("Name"), parameterRow.name);
                    EXPECT_FALSE (parameter->getStringAttribute ("DisplayValue").isEmpty());
                    const int step = parameter->getIntAttribute ("StepValue", INT_MIN);
                    EXPECT_TRUE (step >= parameterRow.min && step <= parameterRow.max)
                        << row.nameFor (channel) << " " << parameterRow.name << " = " << step;
                }
            }
        }

        // The single-output family keeps two spare limiters under these Ids.
        if (juce::String (family.name) == "ZELTA 70")
        {
            ASSERT_NE (childById (*settings, "EFFECT", 68), nullptr);
            EXPECT_EQ (childById (*settings, "EFFECT", 68)->getStringAttribute ("Name"), "Apm3 Preset");
            EXPECT_EQ (childById (*settings, "EFFECT", 70)->getStringAttribute ("Name"), "Apm4 Preset");
        }
    }
    EXPECT_EQ (devices, 3 + 9);
}

TEST_F (DeviceElementTable, InputAndMatrixStateAgreeWithTheSettings)
{
    for (auto* device : allDevices (*library))
    {
        SCOPED_TRACE (describe (*device).toStdString());
        const auto family = familyOf (*device);
        auto* settings = device->getChildByName ("CORVADINE");

        auto* inputs = device->getChildByName ("InputSelection");
        ASSERT_NE (inputs, nullptr);
        EXPECT_EQ (widgetIds (*inputs, "ComboBox"), zeroTo (family.inputs));
        for (auto* combo : childrenWithTag (*inputs, "ComboBox"))
        {
            const int channel = combo->getIntAttribute ("id");
            auto* preset = presetById (*library->getList (3), combo->getIntAttribute ("SelId"));
            ASSERT_NE (preset, nullptr);
            EXPECT_EQ (combo->getStringAttribute ("Value"), preset->getStringAttribute ("Name"));
            // The chosen preset's level and EQ stand in the input's parameters.
            EXPECT_EQ (stepValues (*effectById (*settings, 12 + 2 * channel)),
                       stepValues (*effectById (*preset, 12)));
            EXPECT_EQ (
                childById (*effectById (*settings, 0), "PARAMETER", channel)->getIntAttribute ("StepValue"),
                effectById (*preset, 0)->getChildElement (0)->getIntAttribute ("StepValue"));
        }

        auto* matrix = device->getChildByName ("MatrixSelection");
        ASSERT_NE (matrix, nullptr);
        EXPECT_EQ (widgetIds (*matrix, "ComboBox"), std::vector<int>{ 0 });
        auto* combo = matrix->getChildElement (0);
        auto* preset = presetById (*library->getList (4), combo->getIntAttribute ("SelId"));
        ASSERT_NE (preset, nullptr);
        EXPECT_EQ (combo->getStringAttribute ("Value"), preset->getStringAttribute ("Name"));
        EXPECT_LE (preset->getIntAttribute ("MinInChs"), family.inputs);
        EXPECT_LE (preset->getIntAttribute ("MinOutChs"), family.outputs);

        // Unless a GPI source selector drives outputs, the matrix holds the chosen preset, with
        // the crosspoints the family lacks switched off.
        auto* control = device->getChildByName ("ControlSelection");
        ASSERT_NE (control, nullptr);
        bool selector = false;
        for (auto* gpi : control->getChildIterator())
            selector = selector || (gpi->getChildElement (0) != nullptr &&
                                    gpi->getChildElement (0)->getIntAttribute ("SelId") == 3);
        if (!selector)
        {
            auto expected = stepValues (*preset->getChildElement (0));
            for (int point = 0; point < 16; ++point)
                if ((point & 3) >= family.inputs || (point >> 2) >= family.outputs)
                    expected[(size_t)point] = -61;
            EXPECT_EQ (stepValues (*effectById (*settings, 20)), expected);
        }
    }
}

TEST_F (DeviceElementTable, OutputStateAgreesWithTheSettings)
{
    const auto devices = allDevices (*library);
    for (size_t index = 0; index < devices.size(); ++index)
    {
        auto* device = devices[index];
        SCOPED_TRACE (describe (*device).toStdString());
        const auto family = familyOf (*device);
        const bool isTemplate = index < 3;
        auto* settings = device->getChildByName ("CORVADINE");
        auto* outputs = device->getChildByName ("OutputSelection");
        ASSERT_NE (outputs, nullptr);

        EXPECT_EQ (widgetIds (*outputs, "ComboBox"), zeroTo (family.outputs));
        EXPECT_EQ (widgetIds (*outputs, "CheckBox"), zeroTo (family.outputs, 4));
        EXPECT_EQ (widgetIds (*outputs, "Delay"), zeroTo (family.outputs, 8));
        // The templates leave the limit state to the page, which adds it when first built.
        const auto limits = widgetIds (*outputs, "Apm");
        EXPECT_TRUE (limits.empty() || limits == zeroTo (family.outputs, 12));
        if (isTemplate)
            EXPECT_TRUE (limits.empty());

        for (int n = 0; n < family.outputs; ++n)
        {
            auto* combo = childById (*outputs, "ComboBox", n);
            auto* speaker = presetById (*library->getList (9), combo->getIntAttribute ("SelId"));
            ASSERT_NE (speaker, nullptr);
            EXPECT_EQ (combo->getStringAttribute ("Value"), speaker->getStringAttribute ("Name"));
            EXPECT_EQ (stepValues (*effectById (*settings, juce::Array<int>{ 22, 24, 64, 66 }[n])),
                       stepValues (*effectById (*speaker, 22)));

            const auto adlc = childById (*outputs, "CheckBox", 4 + n)->getStringAttribute ("Value");
            ASSERT_TRUE (adlc == "On" || adlc == "Off");
            auto* qmx = effectById (*settings, juce::Array<int>{ 26, 28, 68, 70 }[n]);
            EXPECT_EQ (childById (*qmx, "PARAMETER", 5)->getIntAttribute ("StepValue"), adlc == "On" ? 0 : 1);
            if (adlc == "Off")
                for (int id : { 31, 32, 33 })
                    EXPECT_EQ (childById (*qmx, "PARAMETER", id)->getIntAttribute ("StepValue"), 37);

            const double delay = childById (*outputs, "Delay", 8 + n)->getDoubleAttribute ("Value", -1.0);
            EXPECT_TRUE (delay >= 0.0 && delay <= 120.0);
            auto* time = effectById (*settings, juce::Array<int>{ 88, 90, 92, 94 }[n])->getChildElement (0);
            EXPECT_EQ (time->getIntAttribute ("StepValue"), (int)(delay * 48));
            EXPECT_EQ (time->getStringAttribute ("DisplayValue"), juce::String ((int)(delay * 48)) + " Smpl");

            if (auto* limit = childById (*outputs, "Apm", 12 + n))
            {
                const double volts = limit->getDoubleAttribute ("Value", -1.0);
                EXPECT_TRUE (volts > 0.0 && volts <= 50.0);
            }
        }
    }
}

TEST_F (DeviceElementTable, GpiStateAgreesWithControlsModifiersAndMatrixModulation)
{
    for (auto* device : allDevices (*library))
    {
        SCOPED_TRACE (describe (*device).toStdString());
        const auto family = familyOf (*device);
        const auto sets = outputSetsOf (family);
        auto* settings = device->getChildByName ("CORVADINE");
        auto* control = device->getChildByName ("ControlSelection");
        ASSERT_NE (control, nullptr);
        ASSERT_NE (control->getChildByName ("GPO"), nullptr);

        int modifierCount = 0;
        for (int g = 0; g < 2; ++g)
        {
            auto* gpi = control->getChildByName ("GPI" + juce::String (g + 1));
            ASSERT_NE (gpi, nullptr);
            EXPECT_EQ (widgetIds (*gpi, "ComboBox"), (std::vector<int>{ 0, 1, 2, 7, 8, 9, 10 }));
            EXPECT_EQ (widgetIds (*gpi, "Voltage"), (std::vector<int>{ 3, 4, 5, 6 }));

            const int function = childById (*gpi, "ComboBox", 0)->getIntAttribute ("SelId") - 1;
            ASSERT_TRUE (function >= 0 && function <= 5);
            EXPECT_EQ (childById (*gpi, "ComboBox", 0)->getStringAttribute ("Value"),
                       functionNames[function]);

            const int setId = childById (*gpi, "ComboBox", 1)->getIntAttribute ("SelId");
            ASSERT_TRUE (setId >= 1 && setId <= (int)sets.size());
            const int mask = sets[(size_t)setId - 1];
            EXPECT_EQ (childById (*gpi, "ComboBox", 1)->getStringAttribute ("Value"), outputSetName (mask));

            const int type = childById (*gpi, "ComboBox", 2)->getIntAttribute ("SelId");
            ASSERT_TRUE (type >= 1 && type <= 4);
            EXPECT_EQ (childById (*gpi, "ComboBox", 2)->getStringAttribute ("Value"), inputTypes[type - 1]);
            const int positions = type <= 2 ? 2 : type;

            int knobs[4];
            for (int k = 0; k < 4; ++k)
            {
                const double value = childById (*gpi, "Voltage", 3 + k)->getDoubleAttribute ("Value", -1.0);
                // A disabled knob stores 1025.
                if (k >= positions)
                    EXPECT_EQ (value, 1025.0);
                else
                    EXPECT_TRUE (value >= 0.0 && value <= 1023.0) << value;
                knobs[k] = (int)value;
            }

            for (int k = 0; k < 4; ++k)
            {
                auto* position = childById (*gpi, "ComboBox", 7 + k);
                auto* preset = presetById (*library->getList (4), position->getIntAttribute ("SelId"));
                ASSERT_NE (preset, nullptr);
                EXPECT_EQ (position->getStringAttribute ("Value"), preset->getStringAttribute ("Name"));
                EXPECT_LE (preset->getIntAttribute ("MinInChs"), family.inputs);
                EXPECT_LE (preset->getIntAttribute ("MinOutChs"), family.outputs);
            }

            auto* functionParameter = childById (*childById (*settings, "CONTROLS", 0), "PARAMETER", g + 1);
            EXPECT_EQ (functionParameter->getIntAttribute ("StepValue"), functionSteps[function]);

            // Output Level: one modifier per output of the set, driven by this GPI's potentiometer.
            int driven = 0;
            for (auto* modifier : childrenWithTag (*settings, "MODIFIER"))
            {
                if (modifier->getChildElement (0)->getIntAttribute ("StepValue") != g + 2)
                    continue;
                const int target = childById (*modifier, "PARAMETER", 2)->getIntAttribute ("StepValue");
                const int first = g == 0 ? 13 : 17;
                ASSERT_TRUE (target >= first && target < first + 4) << target;
                driven |= 1 << (target - first);
                const int id = modifier->getIntAttribute ("Id");
                EXPECT_TRUE (id >= 4 && id <= 18 && id % 2 == 0) << id;
                ++modifierCount;
            }
            EXPECT_EQ (driven, function == 1 ? mask : 0);

            // Source Selector: the matrix modulation of this GPI, its intervals from the knobs and its
            // steps from the position presets.
            auto* mod = childById (*settings, "MATRIXMOD", 20 + 2 * g);
            if (function != 2)
            {
                EXPECT_EQ (mod, nullptr);
                continue;
            }
            ASSERT_NE (mod, nullptr);
            EXPECT_EQ (mod->getStringAttribute ("Name"), "MatrixMod" + juce::String (g + 1));
            ASSERT_EQ (mod->getNumChildElements(), 9);
            EXPECT_EQ (mod->getChildElement (0)->getChildElement (0)->getIntAttribute ("StepValue"), g + 2);
            const auto bounds = intervalBounds (knobs, positions);
            for (int k = 0; k < 4; ++k)
            {
                auto* interval = mod->getChildElement (1 + 2 * k);
                EXPECT_EQ (interval->getStringAttribute ("Name"), "Interval Values " + juce::String (k + 1));
                EXPECT_EQ (stepValues (*interval),
                           (std::vector<int>{ bounds[(size_t)k].first, bounds[(size_t)k].second }));
                auto* step = mod->getChildElement (2 + 2 * k);
                EXPECT_EQ (step->getStringAttribute ("Name"), "Matrix Step " + juce::String (k + 1));
                EXPECT_EQ (step->getIntAttribute ("Id"), 2 * k + 2);
                auto* preset = presetById (*library->getList (4),
                                           childById (*gpi, "ComboBox", 7 + k)->getIntAttribute ("SelId"));
                if (mask == (1 << family.outputs) - 1 && family.inputs == 4)
                    EXPECT_EQ (stepValues (*step), stepValues (*preset->getChildElement (0)));
            }
        }
        EXPECT_EQ ((int)childrenWithTag (*settings, "MODIFIER").size(), modifierCount);
    }
}
