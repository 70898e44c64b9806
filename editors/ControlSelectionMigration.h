#pragma once

#include <juce_core/juce_core.h>

// Applications saved by revisions 415 to 529 keep a device's GPI settings as four
// ComboBox children directly under ControlSelection (function and second choice
// of GPI 1, then of GPI 2). This turns such a Device element, in place, into the
// present form: one GPI1 and one GPI2 child holding the GPI page's combo ids.
// The device's MODIFIERs with the even Ids 4 to 40 are removed; the GPI page
// writes the migrated functions' modifiers again when it is built.
//
// A device without ControlSelection, or whose ControlSelection already holds
// GPI1 or GPI2 and no legacy ComboBox, has nothing to migrate and is left as it
// is. A device without CORVADINE keeps its missing document.
void migrateControlSelection (juce::XmlElement& device);

// True when the ControlSelection element holds ComboBox children directly.
bool holdsLegacyControlSelection (const juce::XmlElement& controlSelection);
