#include "document/SettingsDocument.h"

namespace
{
const char* const settingsTag = "CORVADINE";
const char* const effectTag = "EFFECT";
const char* const parameterTag = "PARAMETER";

// Element children only: text nodes carry their text as an attribute and must
// never be taken for parameters.
template <typename Function> void forEachChildElement (const juce::XmlElement& parent, Function&& function)
{
    for (auto* child : parent.getChildIterator())
        if (!child->isTextElement())
            function (*child);
}

bool isValidChannel (int channel)
{
    return channel >= 0 && channel <= 3;
}

juce::String attributeOrFallback (const juce::XmlElement& element, const char* first, const char* second)
{
    return element.hasAttribute (first) ? element.getStringAttribute (first)
                                        : element.getStringAttribute (second);
}

// The renumbered Ids of the single-channel effects, for channels 1 to 4.
struct ChannelEffect
{
    const char* stem;
    int ids[4];
};

const ChannelEffect channelEffects[] = {
    { "PEQ", { 12, 14, 16, 18 } }, { "EQ", { 22, 24, 64, 66 } },         { "QMX", { 26, 28, 68, 70 } },
    { "Apm", { 34, 36, 72, 74 } }, { "SingleBand", { 78, 80, 82, 84 } },
};

// The Router Preset's per-channel gains: the channel-1 name, the new name's
// parts around the channel number, and the Id of channel 1.
struct RouterGain
{
    const char* channelOneName;
    const char* prefix;
    const char* suffix;
    int firstId;
};

const RouterGain routerGains[] = {
    { "Input Gain 1", "Input Gain ", "", 0 },      { "Output Gain 1A", "Output Gain ", "A", 4 },
    { "Output Gain 1B", "Output Gain ", "B", 9 },  { "Output Gain 1C", "Output Gain ", "C", 13 },
    { "Output Gain 1D", "Output Gain ", "D", 17 },
};

// The element a merge writes into: the first child of the tag with the id text and the name, or
// with the id text and no name at all. A document read back from an amplifier carries no
// names; matching its elements by name would add a second element beside the stale one.
juce::XmlElement* findMergeTarget (const juce::XmlElement& parent, const char* tag, const juce::String& name,
                                   const juce::String& id)
{
    for (auto* child : parent.getChildWithTagNameIterator (tag))
        if (attributeOrFallback (*child, "Id", "id") == id &&
            ((!child->hasAttribute ("Name") && !child->hasAttribute ("name")) ||
             attributeOrFallback (*child, "Name", "name") == name))
            return child;
    return nullptr;
}

void renameParameter (juce::XmlElement& parameter, const juce::String& name, int id)
{
    parameter.setAttribute ("Name", name);
    parameter.setAttribute ("Id", id);
}

const char* const defaultSettingsText =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<CORVADINE Name=\"ZELTA Device CV\" ProductName=\"Zelta 120/2M\" ProductModelId=\"4\" SVNRev=\"\"\n"
    "           CorvadineRev=\"2\" Id=\"5\"/>\n";
} // namespace

bool hasId (const juce::XmlElement& element, int id)
{
    const bool hasUpper = element.hasAttribute ("Id");
    const bool hasLower = element.hasAttribute ("id");
    // A missing number reads as -1 only when the element has neither attribute: an
    // element numbered by "Id" alone is no match for -1 through its absent "id".
    return (hasUpper && element.getIntAttribute ("Id") == id) ||
           (hasLower && element.getIntAttribute ("id") == id) || (!hasUpper && !hasLower && id == -1);
}

juce::XmlElement* findChildById (const juce::XmlElement& parent, const juce::String& tag, int id)
{
    for (auto* child : parent.getChildWithTagNameIterator (tag))
        if (hasId (*child, id))
            return child;
    return nullptr;
}

juce::XmlElement* findChildByIdAndName (const juce::XmlElement& parent, const juce::String& tag,
                                        const juce::String& name, const juce::String& id)
{
    for (auto* child : parent.getChildWithTagNameIterator (tag))
        if (attributeOrFallback (*child, "Id", "id") == id &&
            attributeOrFallback (*child, "Name", "name") == name)
            return child;
    return nullptr;
}

juce::XmlElement* findEffectById (const juce::XmlElement& document, int id)
{
    if (auto* settings = document.getChildByName (settingsTag))
        return findChildById (*settings, effectTag, id);
    return nullptr;
}

juce::XmlElement* findEffectByIdAndName (const juce::XmlElement& document, const juce::String& name, int id)
{
    if (auto* settings = document.getChildByName (settingsTag))
        return findChildByIdAndName (*settings, effectTag, name, juce::String (id));
    return nullptr;
}

int getSvnRevision (const juce::XmlElement& application)
{
    if (auto* revision = application.getChildByName ("SvnRevision"))
        return revision->getAllSubText().trim().getIntValue();
    return 0;
}

void setSvnRevision (juce::XmlElement& application, int revision)
{
    setChildText (application, "SvnRevision", juce::String (revision));
}

void setChildText (juce::XmlElement& application, const juce::String& tag, const juce::String& text)
{
    auto* child = application.getChildByName (tag);

    if (child == nullptr)
    {
        application.createNewChildElement (tag)->addTextElement (text);
        return;
    }

    if (auto* first = child->getFirstChildElement())
    {
        if (first->isTextElement())
            first->setText (text);
        return;
    }

    child->addTextElement (text);
}

void setApplicationTitle (juce::XmlElement& application, const juce::String& title)
{
    setChildText (application, "Title", title);
}

void setApplicationAuthor (juce::XmlElement& application, const juce::String& author)
{
    setChildText (application, "Author", author);
}

void setApplicationDescription (juce::XmlElement& application, const juce::String& description)
{
    setChildText (application, "Description", description);
}

bool renumberChannelEffects (juce::XmlElement& effect, int channel)
{
    if (!isValidChannel (channel))
        return false;

    const auto name = effect.getStringAttribute ("Name");
    const juce::String number (channel + 1);

    if (name == "Router Preset")
    {
        forEachChildElement (effect,
                             [&] (juce::XmlElement& parameter)
                             {
                                 const auto parameterName = parameter.getStringAttribute ("Name");
                                 for (auto& gain : routerGains)
                                     if (parameterName == gain.channelOneName)
                                     {
                                         renameParameter (parameter, gain.prefix + number + gain.suffix,
                                                          gain.firstId + channel);
                                         break;
                                     }
                             });
        return true;
    }

    if (name == "Router1 Preset")
    {
        forEachChildElement (effect,
                             [&] (juce::XmlElement& parameter)
                             {
                                 if (parameter.getStringAttribute ("Name") == "Volume 1")
                                     renameParameter (parameter, "Volume " + number, channel);
                             });
        return true;
    }

    for (auto& family : channelEffects)
        if (name == juce::String (family.stem) + "1 Preset")
        {
            renameParameter (effect, family.stem + number + " Preset", family.ids[channel]);
            break;
        }

    return true;
}

void copyEffectInto (juce::XmlElement& document, const juce::XmlElement& effect)
{
    auto* settings = document.getChildByName (settingsTag);
    if (settings == nullptr)
        return;

    // Work from a copy so that an effect taken from the document itself merges safely.
    const juce::XmlElement source (effect);
    const auto name = source.getAttributeValue (0);
    const auto id = source.getAttributeValue (1);

    auto* target = findMergeTarget (*settings, effectTag, name, id);
    if (target == nullptr)
    {
        target = settings->createNewChildElement (effectTag);
        target->setAttribute ("Name", name);
        target->setAttribute ("Id", id);
    }

    forEachChildElement (source,
                         [&] (const juce::XmlElement& parameter)
                         {
                             auto* slot =
                                 findMergeTarget (*target, parameterTag, parameter.getAttributeValue (0),
                                                  parameter.getAttributeValue (1));
                             if (slot == nullptr)
                                 slot = target->createNewChildElement (parameterTag);
                             target->replaceChildElement (slot, new juce::XmlElement (parameter));
                         });
}

bool isEqPresetEffect (int category, const juce::XmlElement& preset)
{
    const char* wanted = category == 6 ? "PEQ1 Preset" : category == 2 ? "EQ1 Preset" : nullptr;
    if (wanted == nullptr)
        return false;

    for (auto* child : preset.getChildIterator())
        if (!child->isTextElement())
            return child->getStringAttribute ("Name") == wanted;
    return false;
}

bool mergePresetIntoChannel (juce::XmlElement& document, const juce::XmlElement& preset, int channel)
{
    if (!isValidChannel (channel) || !preset.hasTagName (settingsTag) ||
        document.getChildByName (settingsTag) == nullptr)
        return false;

    juce::XmlElement copy (preset);
    for (auto* effect : copy.getChildWithTagNameIterator (effectTag))
    {
        renumberChannelEffects (*effect, channel);
        copyEffectInto (document, *effect);
    }
    return true;
}

std::unique_ptr<juce::XmlElement> copyChildrenById (const juce::XmlElement& element, const juce::String& tag)
{
    auto result = std::make_unique<juce::XmlElement> (element.getTagName());
    juce::Array<int> seenIds;

    for (auto* child : element.getChildIterator())
    {
        if (!child->isTextElement() && child->hasTagName (tag))
        {
            const auto id = child->getIntAttribute ("Id", 0);
            if (seenIds.contains (id))
                continue;
            seenIds.add (id);
        }
        result->addChildElement (new juce::XmlElement (*child));
    }
    return result;
}

std::unique_ptr<juce::XmlElement> createDefaultSettingsDocument()
{
    return juce::parseXML (defaultSettingsText);
}

juce::StringArray getStepValues (const juce::XmlElement& element)
{
    juce::StringArray values;
    for (auto* child : element.getChildIterator())
    {
        if (child->hasTagName ("PARAMETER"))
            values.add (child->getStringAttribute ("StepValue"));
        values.addArray (getStepValues (*child));
    }
    return values;
}
