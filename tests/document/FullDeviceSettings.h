#pragma once

#include <memory>
#include <juce_core/juce_core.h>

// The settings document of a four-input, four-output device with every element the program
// knows, all parameters present, built in code. Shared by the block tests and the benchmark.
namespace FullDeviceSettings
{
inline int stepValueFor (int elementId, int parameterId)
{
    // Varied values, negative ones included, so that a shifted or lost value shows.
    return ((elementId * 37 + parameterId * 11) % 97) - 48 - (parameterId % 3 == 0 ? 200 : 0);
}

inline void addParameter (juce::XmlElement& parent, const juce::String& name, int elementId, int id)
{
    const int step = stepValueFor (elementId, id);
    auto* parameter = parent.createNewChildElement ("PARAMETER");
    parameter->setAttribute ("Name", name);
    parameter->setAttribute ("Id", id);
    parameter->setAttribute ("DisplayValue", juce::String (step * 0.5, 1) + " dB");
    parameter->setAttribute ("StepValue", step);
}

inline juce::XmlElement* addElement (juce::XmlElement& parent, const juce::String& tag,
                                     const juce::String& name, int id)
{
    auto* element = parent.createNewChildElement (tag);
    element->setAttribute ("Name", name);
    element->setAttribute ("Id", id);
    return element;
}

inline void addEffect (juce::XmlElement& root, const juce::String& name, int id, int numParameters)
{
    auto* effect = addElement (root, "EFFECT", name, id);

    for (int i = 0; i < numParameters; ++i)
        addParameter (*effect, "Param " + juce::String (i + 1), id, i);
}

inline void addChannelEffects (juce::XmlElement& root, const juce::String& stem, const int (&ids)[4],
                               int numParameters)
{
    for (int n = 0; n < 4; ++n)
        addEffect (root, stem + juce::String (n + 1) + " Preset", ids[n], numParameters);
}

inline std::unique_ptr<juce::XmlElement> create()
{
    auto root = std::make_unique<juce::XmlElement> ("CORVADINE");
    root->setAttribute ("Name", "ZELTA Device CV");
    root->setAttribute ("ProductName", "Zelta 120/2M");
    root->setAttribute ("ProductModelId", 4);
    root->setAttribute ("SVNRev", "");
    root->setAttribute ("CorvadineRev", 2);

    auto* router = addElement (*root, "EFFECT", "Router Preset", 0);
    const char* letters = "ABCD";

    for (int i = 0; i < 25; ++i)
    {
        juce::String name;

        if (i < 4)
            name = "Input Gain " + juce::String (i + 1);
        else if (i == 8)
            name = "Clip Level";
        else if (i < 21)
        {
            const int group = i < 8 ? 0 : (i - 9) / 4 + 1;
            const int channel = i < 8 ? i - 4 : (i - 9) % 4;
            name = "Output Gain " + juce::String (channel + 1) + juce::String::charToString (letters[group]);
        }
        else
            name = "Input Gain " + juce::String (i - 20) + "B";

        addParameter (*router, name, 0, i);
    }

    addChannelEffects (*root, "PEQ", { 12, 14, 16, 18 }, 16);

    auto* matrix = addElement (*root, "EFFECT", "Matrix4x4 Preset", 20);

    for (int j = 1; j <= 4; ++j)
        for (int i = 1; i <= 4; ++i)
            addParameter (*matrix, "In" + juce::String (i) + " to Out" + juce::String (j), 20,
                          4 * (j - 1) + (i - 1));

    addChannelEffects (*root, "EQ", { 22, 24, 64, 66 }, 16);
    addChannelEffects (*root, "QMX", { 26, 28, 68, 70 }, 46);

    auto* volumes = addElement (*root, "EFFECT", "Router1 Preset", 32);

    for (int i = 0; i < 4; ++i)
        addParameter (*volumes, "Volume " + juce::String (i + 1), 32, i);

    const int apmIds[] = { 34, 36, 72, 74 };

    for (int n = 0; n < 4; ++n)
        addParameter (*addElement (*root, "EFFECT", "Apm" + juce::String (n + 1) + " Preset", apmIds[n]),
                      "V Lim", apmIds[n], 7);

    addChannelEffects (*root, "SingleBand", { 78, 80, 82, 84 }, 4);
    addChannelEffects (*root, "Delay", { 88, 90, 92, 94 }, 1);

    for (int id = 0; id <= 46; id += 2)
    {
        auto* modifier = addElement (*root, "MODIFIER", "Modifier " + juce::String (id / 2 + 1), id);

        for (int i = 0; i < 13; ++i)
            addParameter (*modifier, "Value " + juce::String (i), 100 + id, i);
    }

    auto* matrixMod = addElement (*root, "MATRIXMOD", "MatrixMod2", 22);
    auto* source = matrixMod->createNewChildElement ("EFFECT");
    source->setAttribute ("Name", "Source");
    addParameter (*source, "Source", 200, 0);

    for (int k = 0; k < 4; ++k)
    {
        auto* pair = addElement (*matrixMod, "EFFECT", "Mod " + juce::String (k + 1), 2 * k + 1);
        addParameter (*pair, "Low", 200, 18 * k + 1);
        addParameter (*pair, "High", 200, 18 * k + 2);

        auto* steps = addElement (*matrixMod, "EFFECT", "Steps " + juce::String (k + 1), 2 * k + 2);

        for (int i = 0; i < 16; ++i)
            addParameter (*steps, "Step " + juce::String (i + 1), 200, 18 * k + 3 + i);
    }

    auto* controls = addElement (*root, "CONTROLS", "Controls", 0);

    for (int i = 1; i <= 3; ++i)
        addParameter (*controls, "Control " + juce::String (i), 250, i);

    return root;
}
} // namespace FullDeviceSettings
