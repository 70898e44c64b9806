#include "document/DeviceFamily.h"

namespace
{
struct FamilyRow
{
    const char* name;
    int inputs, outputs, gpis, gpos;
};

// In family-id order: the id of a row is its index.
const FamilyRow familyRows[DeviceFamily::numFamilies] = {
    { "ZELTA", 2, 2, 2, 1 },
    { "ZELTA M", 4, 4, 2, 1 },
    { "ZELTA 70", 2, 1, 2, 1 },
};

constexpr int matrixPresetCategory = 4;
} // namespace

DeviceFamily DeviceFamily::fromId (int id)
{
    DeviceFamily family;
    if (!isValidId (id))
        return family;

    auto& row = familyRows[id];
    family.name = row.name;
    family.id = id;
    family.inputs = row.inputs;
    family.outputs = row.outputs;
    family.gpis = row.gpis;
    family.gpos = row.gpos;
    return family;
}

DeviceFamily DeviceFamily::fromName (const juce::String& name)
{
    return fromId (indexOfName (name));
}

int DeviceFamily::indexOfName (const juce::String& name)
{
    for (int i = 0; i < numFamilies; ++i)
        if (name == familyRows[i].name)
            return i;
    return -1;
}

bool DeviceFamily::isValidId (int id)
{
    return id >= 0 && id < numFamilies;
}

bool DeviceFamily::exists (const juce::String& name)
{
    return indexOfName (name) != -1;
}

int DeviceFamily::getOutputMask() const
{
    // A hand-made row could hold anything; the shift must stay within an int.
    if (outputs <= 0)
        return 0;
    if (outputs >= 31)
        return std::numeric_limits<int>::max();
    return (1 << outputs) - 1;
}

juce::OwnedArray<juce::XmlElement> collectMatrixPresets (int inputs, int outputs,
                                                         const PresetLibrary& library)
{
    juce::OwnedArray<juce::XmlElement> fitting;

    if (auto* presets = library.getList (matrixPresetCategory))
        for (auto* preset : *presets)
            if (preset->getIntAttribute ("MinInChs", 0) <= inputs &&
                preset->getIntAttribute ("MinOutChs", 0) <= outputs)
                fitting.add (new juce::XmlElement (*preset));

    return fitting;
}
