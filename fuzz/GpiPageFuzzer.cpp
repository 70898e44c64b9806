// Feeds arbitrary Device elements, as an application file might hold them, to
// the migration of legacy control selections and to the CONTROL page with its
// two GPI pages, then plays a user's round on both inputs. Checks that nothing
// crashes or hangs, that migrating twice is migrating once, and that building
// the pages over a document they wrote changes nothing.
#include "document/SettingsDocument.h"
#include "document/SavedFileFormat.h"
#include "editors/ControlComponent.h"
#include "editors/ControlSelectionMigration.h"
#include "testing/user/ScriptedUserInteraction.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
void check (bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf (stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// Delivers what the pages posted, a few rounds deep.
void settle()
{
    for (int round = 0; round < 4; ++round)
    {
        bool delivered = false;
        juce::MessageManager::callAsync ([&delivered] { delivered = true; });
        for (int slice = 0; slice < 1000 && !delivered; ++slice)
            juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
        check (delivered, "the message loop delivers");
    }
}

void checkMigration (const juce::XmlElement& device)
{
    juce::XmlElement once (device);
    migrateControlSelection (once);

    juce::XmlElement twice (once);
    migrateControlSelection (twice);
    check (twice.isEquivalentTo (&once, false), "migrating twice is migrating once");

    // A legacy state leaves only the two GPI elements, and no GPI modifier slot in use.
    auto* before = device.getChildByName ("ControlSelection");
    if (before == nullptr || !holdsLegacyControlSelection (*before))
        return;

    auto* after = once.getChildByName ("ControlSelection");
    check (after->getNumChildElements() == 2 && after->getChildByName ("GPI1") != nullptr &&
               after->getChildByName ("GPI2") != nullptr,
           "a migrated state holds GPI1 and GPI2 only");

    if (auto* corvadine = once.getChildByName ("CORVADINE"))
        for (int id = 4; id <= 40; id += 2)
            check (findChildById (*corvadine, "MODIFIER", id) == nullptr, "no GPI modifier after migration");
}

void choose (GPIComponent& page, const char* control, int itemId)
{
    if (auto* combo = dynamic_cast<juce::ComboBox*> (page.findChildWithID (control)))
        combo->setSelectedId (itemId, juce::sendNotificationSync);
    settle();
}

DeviceFamily familyFor (const juce::XmlElement& device, uint8_t pick)
{
    auto family = DeviceFamily::fromName (device.getStringAttribute ("model", "ZELTA M"));
    return family.name.isNotEmpty() ? family : DeviceFamily::fromId (pick % DeviceFamily::numFamilies);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static auto* gui = new juce::ScopedJuceInitialiser_GUI();
    static auto* library = new PresetLibrary();
    // Refusals are told to a user who answers nothing; a fuzzer cannot press a button.
    static ScriptedUserInteraction user;
    user.calls.clear();
    juce::ignoreUnused (gui);

    // Read as the program reads an application file: only what its reader
    // takes reaches the pages.
    auto contents = readSavedFile (juce::MemoryBlock (data, size));
    if (contents.result != SavedFileResult::ok)
        return 0;
    auto& device = contents.document;

    checkMigration (*device);

    const auto family = familyFor (*device, size > 0 ? data[0] : 0);
    {
        ControlComponent page (device.get(), library, family);
        page.setUserInteraction (user);
        page.setSize (400, 400);
        settle();

        // Each input in turn: a source selector with a ladder, its steps
        // re-pointed by the other input, then another function.
        for (int index : { 0, 1 })
        {
            auto& gpi = page.getGpi (index);
            choose (gpi, "function", GPIComponent::sourceSelector + 1);
            choose (gpi, "inputType", 1 + (size > 1 ? data[1] % 4 : 3));
            choose (gpi, "sourceSet", 1 + (size > 2 ? data[2] % 15 : 0));
            choose (gpi, "position2", 12);
            gpi.setOtherGpiOutputMask (page.getGpi (1 - index).getSourceSelectorInputMask());
            settle();
            choose (gpi, "function", 1 + (size > 3 ? data[3 + index] % GPIComponent::numFunctions : 0));
            // Whatever the function now, the step editors must not reach into
            // steps that left the document with it.
            choose (gpi, "position1", 3);
            choose (gpi, "sourceSet", 1);
        }
        page.isModified();
        page.consumeChangeFlag();
    }

    // The pages wrote this document; looking at it again changes nothing.
    const juce::XmlElement written (*device);
    {
        ControlComponent page (device.get(), library, family);
        page.setUserInteraction (user);
        settle();
        check (!page.isModified(), "a page built over its own writing is not modified");
    }
    if (!device->isEquivalentTo (&written, false))
        std::fprintf (stderr, "%s\n---\n%s\n", written.toString().toRawUTF8(),
                      device->toString().toRawUTF8());
    check (device->isEquivalentTo (&written, false), "building the pages again changes nothing");
    return 0;
}
