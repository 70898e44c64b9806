#include "document/CorvadineXmlToSyx.h"

namespace
{
// Decimal text as the documents store it: optional leading white space and minus sign, then
// digits; anything else ends the number (no digits: 0). Wraps beyond 32 bits instead of
// overflowing, so foreign text cannot cause undefined behaviour.
int parseInteger (const juce::String& text) noexcept
{
    auto s = text.getCharPointer();

    if (*s != '-' && (*s < '0' || *s > '9'))
        s = s.findEndOfWhitespace();

    const bool negative = *s == '-';

    if (negative)
        ++s;

    // Digits are single bytes in UTF-8.
    auto* digit = s.getAddress();
    juce::uint32 value = 0;

    while (*digit >= '0' && *digit <= '9')
        value = value * 10 + (juce::uint32) (*digit++ - '0');

    return (int)(negative ? 0u - value : value);
}

int readIntAttribute (const juce::XmlElement& element, juce::StringRef attribute, int defaultValue)
{
    if (!element.hasAttribute (attribute))
        return defaultValue;

    return parseInteger (element.getStringAttribute (attribute));
}

// Tag test that skips the character comparison when the tag is the very pooled string.
bool hasTag (const juce::XmlElement& element, const juce::String& pooledTag)
{
    const auto& tag = element.getTagName();
    return tag.getCharPointer() == pooledTag.getCharPointer() || tag.equalsIgnoreCase (pooledTag);
}

// Id and StepValue of a PARAMETER (missing or empty: 0) in one walk over its attributes.
// Attribute names are pooled identifiers, so a name equals one of ours exactly when it is the
// same string: a pointer test finds them without comparing characters.
void readParameter (const juce::XmlElement& parameter, const juce::Identifier& idName,
                    const juce::Identifier& stepValueName, int& id, int& stepValue)
{
    id = 0;
    stepValue = 0;
    bool haveId = false, haveStepValue = false;
    const int numAttributes = parameter.getNumAttributes();

    for (int i = 0; i < numAttributes && !(haveId && haveStepValue); ++i)
    {
        const auto name = parameter.getAttributeName (i).getCharPointer();

        if (!haveId && name == idName.getCharPointer())
        {
            id = parseInteger (parameter.getAttributeValue (i));
            haveId = true;
        }
        else if (!haveStepValue && name == stepValueName.getCharPointer())
        {
            stepValue = parseInteger (parameter.getAttributeValue (i));
            haveStepValue = true;
        }
    }
}

// Walks the PARAMETER children of an element or, for a MATRIXMOD, the PARAMETER children of
// all its children in document order, without copying anything.
class ParameterCursor
{
public:
    ParameterCursor (const juce::XmlElement& element, bool flattenChildren, const juce::String& parameterTag)
        : flatten (flattenChildren), tag (parameterTag)
    {
        if (flatten)
        {
            outer = element.getFirstChildElement();
            inner = outer != nullptr ? outer->getFirstChildElement() : nullptr;
        }
        else
        {
            inner = element.getFirstChildElement();
        }
    }

    const juce::XmlElement* next() noexcept
    {
        for (;;)
        {
            while (inner != nullptr)
            {
                const auto* candidate = inner;
                inner = inner->getNextElement();

                if (hasTag (*candidate, tag))
                    return candidate;
            }

            if (!flatten || outer == nullptr)
                return nullptr;

            outer = outer->getNextElement();

            if (outer == nullptr)
                return nullptr;

            inner = outer->getFirstChildElement();
        }
    }

private:
    const bool flatten;
    const juce::String& tag;
    const juce::XmlElement* outer = nullptr;
    const juce::XmlElement* inner = nullptr;
};
} // namespace

CorvadineXmlToSyx::CorvadineXmlToSyx (const juce::XmlElement& corvadine)
    : root (corvadine), name (corvadine.getStringAttribute ("Name")),
      productName (corvadine.getStringAttribute ("ProductName")),
      productModelId (readIntAttribute (corvadine, "ProductModelId", 0)),
      svnRev (readIntAttribute (corvadine, "SVNRev", 0)),
      corvadineRev (readIntAttribute (corvadine, "CorvadineRev", 0))
{
    runValues.reserve (128);
}

bool CorvadineXmlToSyx::convertAndWrite (juce::OutputStream& output)
{
    numBytesUsed = 0;
    numDroppedRecords = 0;

    for (auto* child = root.getFirstChildElement(); child != nullptr; child = child->getNextElement())
        convertElement (*child);

    appendWords (&endWord);

    const bool written = numBytesUsed == 0 || output.write (block, (size_t)numBytesUsed);
    return written && numDroppedRecords == 0;
}

void CorvadineXmlToSyx::convertElement (const juce::XmlElement& element)
{
    const int elementId = readIntAttribute (element, "Id", -1);

    if (elementId < 0)
        return;

    // Tags decide the record type exactly as written; a MATRIXMOD travels as a MODIFIER record
    // holding the parameters of all its effects.
    const auto& tag = element.getTagName();

    if (tag == "EFFECT")
        writeRuns (effectType, elementId, element, false);
    else if (tag == "MODIFIER")
        writeRuns (modifierType, elementId, element, false);
    else if (tag == "CONTROLS")
        writeRuns (controlsType, elementId, element, false);
    else if (tag == "MATRIXMOD")
        writeRuns (modifierType, elementId, element, true);
    else
        writeRuns (otherType, elementId, element, false);
}

void CorvadineXmlToSyx::writeRuns (int type, int elementId, const juce::XmlElement& element,
                                   bool flattenChildren)
{
    ParameterCursor cursor (element, flattenChildren, parameterTag.toString());
    const auto* parameter = cursor.next();

    if (parameter == nullptr)
        return;

    int id = 0, stepValue = 0, firstId = 0;
    readParameter (*parameter, idName, stepValueName, id, stepValue);
    runValues.clear();

    // A run ends at a jump, a repeat or a step back in the numbering, or at the last parameter.
    while (parameter != nullptr)
    {
        if (runValues.empty())
            firstId = id;

        runValues.push_back (stepValue);

        const auto* following = cursor.next();
        int followingId = 0, followingStepValue = 0;

        if (following != nullptr)
            readParameter (*following, idName, stepValueName, followingId, followingStepValue);

        if (following == nullptr || (juce::int64)followingId != (juce::int64)id + 1)
        {
            writeRecord (type, elementId, firstId, runValues.data(), (int)runValues.size());
            runValues.clear();
        }

        parameter = following;
        id = followingId;
        stepValue = followingStepValue;
    }
}

void CorvadineXmlToSyx::writeRecord (int type, int elementId, int firstParameterId, const int* values,
                                     int count)
{
    int done = 0;

    do
    {
        const int chunk = juce::jmin (count - done, maxValuesPerRecord);
        const auto firstId = (juce::uint32)firstParameterId + (juce::uint32)done;

        recordWords[0] = ((juce::uint32) (chunk + 1) << 24) | (((juce::uint32)type & 0xff) << 16) |
                         (((juce::uint32)elementId & 0xff) << 8) | (firstId & 0xff);

        for (int i = 0; i < chunk; ++i)
            recordWords[1 + i] = (juce::uint32)values[done + i];

        appendWords (recordWords);
        done += chunk;
    } while (done < count);
}

bool CorvadineXmlToSyx::appendWords (const juce::uint32* words)
{
    const int numWords = (int)(words[0] >> 24);

    if (numBytesUsed + 4 * numWords > maxBlockBytes)
    {
        ++numDroppedRecords;
        return false;
    }

    auto* dest = block + numBytesUsed;

    for (int i = 0; i < numWords; ++i)
    {
        const auto word = words[i];
        dest[0] = (juce::uint8) (word >> 24);
        dest[1] = (juce::uint8) (word >> 16);
        dest[2] = (juce::uint8) (word >> 8);
        dest[3] = (juce::uint8)word;
        dest += 4;
    }

    numBytesUsed += 4 * numWords;
    return true;
}
