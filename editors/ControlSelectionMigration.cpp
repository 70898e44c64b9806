#include "editors/ControlSelectionMigration.h"

#include "document/DeviceFamily.h"
#include "document/SettingsDocument.h"
#include "editors/OutputSetTable.h"

namespace
{
// Item ids of the GPI page's combos that the legacy form names.
constexpr int outputLevel = 2;
constexpr int sourceSelector = 3;
constexpr int allFourOutputs = 15;

// Applications from before the families were told apart carry no model; their
// devices were all of the four-output family.
const juce::String legacyModel ("ZELTA M");

int legacyValue (const juce::XmlElement& controlSelection, int id)
{
    if (auto* combo = findChildById (controlSelection, "ComboBox", id))
        return combo->getIntAttribute ("SelId", 0);
    return 1;
}

// The legacy form knew only four-output amplifiers: its "all outputs" is entry 15,
// which a family with fewer outputs lists under another id.
int outputSetIdForFamily (int id, const juce::XmlElement& device)
{
    if (id != allFourOutputs)
        return id;

    auto model = device.getStringAttribute ("model");
    if (model.isEmpty())
        model = legacyModel;

    const auto family = DeviceFamily::fromName (model);
    if (family.name.isEmpty())
        return id;

    const auto table = OutputSetTable::forFamily (family.id);
    const auto entry = table.indexOfMask ((juce::uint8)family.getOutputMask());
    return entry >= 0 ? entry + 1 : id;
}

void addCombo (juce::XmlElement& gpi, int id, int selId)
{
    auto* combo = gpi.createNewChildElement ("ComboBox");
    combo->setAttribute ("id", id);
    combo->setAttribute ("SelId", selId);
}

struct SwitchSetting
{
    int inputType, positions[4];
};

SwitchSetting switchSettingFor (int secondChoice)
{
    switch (secondChoice)
    {
        case 1:
            return { 3, { 12, 9, 10, 10 } };
        case 2:
            return { 4, { 12, 9, 10, 11 } };
        case 3:
            return { 4, { 12, 6, 8, 7 } };
        default:
            return { 4, { 2, 3, 4, 5 } };
    }
}

juce::XmlElement* makeGpi (int number, int function, int secondChoice, const juce::XmlElement& device)
{
    auto* gpi = new juce::XmlElement ("GPI" + juce::String (number));
    addCombo (*gpi, 0, function);

    if (function == outputLevel)
    {
        const auto set = (secondChoice == 13 || secondChoice == 14) ? allFourOutputs : secondChoice;
        addCombo (*gpi, 1, outputSetIdForFamily (set, device));
    }
    else if (function == sourceSelector)
    {
        const auto setting = switchSettingFor (secondChoice);
        addCombo (*gpi, 1, outputSetIdForFamily (allFourOutputs, device));
        addCombo (*gpi, 2, setting.inputType);

        for (int k = 0; k < 4; ++k)
            addCombo (*gpi, 7 + k, setting.positions[k]);
    }

    return gpi;
}

void removeGpiModifiers (juce::XmlElement& corvadine)
{
    for (auto* modifier = corvadine.getFirstChildElement(); modifier != nullptr;)
    {
        auto* next = modifier->getNextElement();

        if (modifier->hasTagName ("MODIFIER"))
        {
            const auto id =
                modifier->getStringAttribute ("Id", modifier->getStringAttribute ("id")).getIntValue();
            if (id >= 4 && id <= 40 && id % 2 == 0)
                corvadine.removeChildElement (modifier, true);
        }

        modifier = next;
    }
}
} // namespace

bool holdsLegacyControlSelection (const juce::XmlElement& controlSelection)
{
    return controlSelection.getChildByName ("ComboBox") != nullptr;
}

void migrateControlSelection (juce::XmlElement& device)
{
    auto* controlSelection = device.getChildByName ("ControlSelection");
    if (controlSelection == nullptr)
        return;

    const bool presentForm = controlSelection->getChildByName ("GPI1") != nullptr ||
                             controlSelection->getChildByName ("GPI2") != nullptr;
    if (presentForm && !holdsLegacyControlSelection (*controlSelection))
        return;

    const int function1 = legacyValue (*controlSelection, 0), second1 = legacyValue (*controlSelection, 1);
    const int function2 = legacyValue (*controlSelection, 2), second2 = legacyValue (*controlSelection, 3);

    controlSelection->deleteAllChildElements();
    controlSelection->addChildElement (makeGpi (1, function1, second1, device));
    controlSelection->addChildElement (makeGpi (2, function2, second2, device));

    if (auto* corvadine = device.getChildByName ("CORVADINE"))
        removeGpiModifiers (*corvadine);
}
