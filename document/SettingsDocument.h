#pragma once

#include <juce_core/juce_core.h>
#include <memory>

// Lookups and copies on the application and CORVADINE settings documents.
// Lookups return a non-owning pointer into the tree they were given, or null.
// Tag names match without regard to case (the framework's child lookups);
// attribute names and values are case-sensitive.

// First child with the tag whose "Id" or "id" attribute, read as an integer, equals
// id (each child is tried with "Id" first, then "id"); id -1 also finds a child that
// has neither attribute.
juce::XmlElement* findChildById (const juce::XmlElement& parent, const juce::String& tag, int id);
// The test findChildById applies to each child.
bool hasId (const juce::XmlElement& element, int id);

// First child with the tag whose "Id" text (else "id") equals id and whose "Name"
// text (else "name") equals name; both compared as exact strings.
juce::XmlElement* findChildByIdAndName (const juce::XmlElement& parent, const juce::String& tag,
                                        const juce::String& name, const juce::String& id);

// The EFFECT of the document's CORVADINE child; null when there is no CORVADINE child.
juce::XmlElement* findEffectById (const juce::XmlElement& document, int id);
juce::XmlElement* findEffectByIdAndName (const juce::XmlElement& document, const juce::String& name, int id);

// The StepValue of every PARAMETER below the element, in document order: what a settings block
// keeps of a settings document.
juce::StringArray getStepValues (const juce::XmlElement& element);

// The integer inside the application's SvnRevision child; 0 when it is missing.
int getSvnRevision (const juce::XmlElement& application);
void setSvnRevision (juce::XmlElement& application, int revision);

// Sets the text of the first child with the tag, appending the child when missing.
// A child whose first node is an element, not text, is left unchanged.
void setChildText (juce::XmlElement& application, const juce::String& tag, const juce::String& text);
void setApplicationTitle (juce::XmlElement& application, const juce::String& title);
void setApplicationAuthor (juce::XmlElement& application, const juce::String& author);
void setApplicationDescription (juce::XmlElement& application, const juce::String& description);

// Renames and renumbers an effect made for channel 1 so that it serves the given
// channel (0 to 3), in place. Other effects are left as they are. Returns false,
// changing nothing, for a channel outside 0 to 3.
bool renumberChannelEffects (juce::XmlElement& effect, int channel);

// Merges a copy of the effect into the document's CORVADINE child: the effect is
// matched by its first two attributes (name, id), each of its parameters likewise;
// matched parameters are replaced in place, others appended. An element of the
// document without a name (as read back from an amplifier) is matched by id alone.
// Does nothing when the document has no CORVADINE child.
void copyEffectInto (juce::XmlElement& document, const juce::XmlElement& effect);

// True when the preset's first child is the EQ effect of its category:
// "PEQ1 Preset" for category 6 (input EQ), "EQ1 Preset" for category 2 (output EQ).
bool isEqPresetEffect (int category, const juce::XmlElement& preset);

// Copies every EFFECT of the preset, renumbered for the channel, into the document.
// False, changing nothing, when the preset is not a CORVADINE document, the document
// has no CORVADINE child or the channel is outside 0 to 3. The preset is not changed.
bool mergePresetIntoChannel (juce::XmlElement& document, const juce::XmlElement& preset, int channel);

// A new element with the same tag (no attributes) and copies of all children, of
// several children with the tag and equal "Id" (missing: 0) only the first.
std::unique_ptr<juce::XmlElement> copyChildrenById (const juce::XmlElement& element, const juce::String& tag);

// The settings document every read-back starts from, parsed anew on every call.
std::unique_ptr<juce::XmlElement> createDefaultSettingsDocument();
