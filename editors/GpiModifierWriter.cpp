#include "editors/GpiModifierWriter.h"

#include "document/SettingsDocument.h"
#include "editors/ParameterValue.h"

namespace
{
constexpr int firstSlot = 2, lastSlot = 9; // MODIFIER Ids 4 to 18

// What the amplifier gets of a modifier: its parameters' Ids and StepValues, in
// order. Names and shown texts stay in the program; a modifier read back from
// the amplifier has none.
juce::StringArray carriedValues (const juce::XmlElement& modifier)
{
    juce::StringArray values;
    for (auto* parameter : modifier.getChildWithTagNameIterator ("PARAMETER"))
        values.add (parameter->getStringAttribute ("Id", parameter->getStringAttribute ("id")) + "=" +
                    parameter->getStringAttribute ("StepValue"));
    return values;
}

void disable (juce::XmlElement& modifier)
{
    if (auto* source = modifier.getChildByName ("PARAMETER"))
        setParameterValue (*source, GpiModifierWriter::disabledSource, "(disabled.1)");
}
} // namespace

int GpiModifierWriter::sourceOf (const juce::XmlElement& modifier)
{
    if (auto* source = modifier.getChildByName ("PARAMETER"))
        return source->getIntAttribute ("StepValue", 0);
    return 0;
}

juce::Array<juce::XmlElement*> GpiModifierWriter::modifiersOf (juce::XmlElement& corvadine, Sources sources)
{
    juce::Array<juce::XmlElement*> found;
    for (auto* modifier : corvadine.getChildWithTagNameIterator ("MODIFIER"))
        if (sources.contains (sourceOf (*modifier)))
            found.add (modifier);
    return found;
}

void GpiModifierWriter::nameForSlot (juce::XmlElement& modifier, int slot)
{
    modifier.setAttribute ("Id", 2 * slot);
    modifier.setAttribute ("Name", "Mod " + juce::String (slot + 1) + " Preset");
}

bool GpiModifierWriter::holdsAlready (const juce::Array<juce::XmlElement*>& existing,
                                      const juce::OwnedArray<juce::XmlElement>& wanted)
{
    if (existing.size() != wanted.size())
        return false;

    for (int i = 0; i < existing.size(); ++i)
    {
        if (carriedValues (*existing[i]) != carriedValues (*wanted[i]))
            return false;
    }

    return true;
}

int GpiModifierWriter::countFreeSlots (juce::XmlElement& corvadine, Sources owned)
{
    int free = 0;
    for (int slot = firstSlot; slot <= lastSlot; ++slot)
        if (slotIsFree (corvadine, slot, owned))
            ++free;
    return free;
}

bool GpiModifierWriter::slotIsFree (const juce::XmlElement& corvadine, int slot, Sources releasable)
{
    for (auto* holder : corvadine.getChildWithTagNameIterator ("MODIFIER"))
        if (hasId (*holder, 2 * slot))
            if (const auto source = sourceOf (*holder);
                source != disabledSource && !releasable.contains (source))
                return false;
    return true;
}

int GpiModifierWriter::findFreeModifierId (juce::XmlElement& corvadine)
{
    for (int slot = firstSlot; slot <= lastSlot; ++slot)
    {
        if (!slotIsFree (corvadine, slot, { disabledSource, disabledSource }))
            continue;

        // Every holder of the Id is disabled: all of them go, so that the Id
        // stays unique once it is given out again.
        while (auto* holder = findChildById (corvadine, "MODIFIER", 2 * slot))
            corvadine.removeChildElement (holder, true);
        return slot;
    }
    return -1;
}

GpiModifierWriter::Result GpiModifierWriter::write (juce::XmlElement& corvadine, Sources owned,
                                                    const juce::OwnedArray<juce::XmlElement>& wanted,
                                                    Mode mode)
{
    const auto existing = modifiersOf (corvadine, owned);

    if (holdsAlready (existing, wanted))
        return Result::unchanged;

    if (wanted.size() > countFreeSlots (corvadine, owned))
        return Result::noRoom;

    if (mode == Mode::check)
        return Result::written;

    for (auto* modifier : existing)
        disable (*modifier);

    for (auto* modifier : wanted)
    {
        const auto slot = findFreeModifierId (corvadine);
        jassert (slot >= 0); // counted above
        if (slot < 0)
            break;

        auto* copy = new juce::XmlElement (*modifier);
        nameForSlot (*copy, slot);
        corvadine.addChildElement (copy);
    }

    return Result::written;
}

GpiModifierWriter::Result GpiModifierWriter::writeOutputLevel (juce::XmlElement& corvadine, int gpiIndex,
                                                               const juce::XmlElement* preset, Mode mode)
{
    const auto source = potentiometerSource (gpiIndex);
    juce::OwnedArray<juce::XmlElement> wanted;

    if (preset != nullptr)
    {
        for (auto* modifier : preset->getChildWithTagNameIterator ("MODIFIER"))
        {
            auto* copy = wanted.add (new juce::XmlElement (*modifier));

            if (auto* first = copy->getFirstChildElement())
            {
                first->setAttribute ("DisplayValue", "GPI " + juce::String (gpiIndex + 1) + " Pot        ");
                first->setAttribute ("StepValue", source);
            }

            if (gpiIndex == 1)
                applyGpi2OutputGains (*copy);
        }
    }

    return write (corvadine, { source, source }, wanted, mode);
}

GpiModifierWriter::Result GpiModifierWriter::writeRs232 (juce::XmlElement& corvadine,
                                                         const juce::XmlElement* preset, Mode mode)
{
    juce::OwnedArray<juce::XmlElement> wanted;

    if (preset != nullptr)
        for (auto* modifier : preset->getChildWithTagNameIterator ("MODIFIER"))
            wanted.add (new juce::XmlElement (*modifier));

    return write (corvadine, { firstRs232Source, lastRs232Source }, wanted, mode);
}

void GpiModifierWriter::applyGpi2OutputGains (juce::XmlElement& modifier)
{
    auto* target = findChildById (modifier, "PARAMETER", 2);
    if (target == nullptr)
        return;

    const auto gain = target->getIntAttribute ("StepValue", 0);
    if (gain >= 13 && gain <= 16)
    {
        target->setAttribute ("StepValue", gain + 4);
        target->setAttribute ("DisplayValue", "Output Gain " + juce::String (gain - 12) + "D");
    }
}
