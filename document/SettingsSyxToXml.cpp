#include "document/SettingsSyxToXml.h"
#include "document/SettingsDocument.h"

SettingsSyxToXml::SettingsSyxToXml (juce::InputStream& input)
{
    auto* bytes = reinterpret_cast<char*> (words.data());

    while (numBytes < maxBlockBytes)
    {
        const int numRead = input.read (bytes + numBytes, maxBlockBytes - numBytes);

        if (numRead <= 0)
            break;

        numBytes += numRead;
    }

    if (numBytes == maxBlockBytes)
    {
        char extra = 0;
        truncated = input.read (&extra, 1) > 0;
    }

    const int numWholeWords = numBytes / 4;
    numWords = (numBytes + 3) / 4;

    for (int i = 0; i < numWholeWords; ++i)
        words[(size_t)i] = juce::ByteOrder::bigEndianInt (bytes + 4 * i);

    // A last word of 1 to 3 bytes counts as a word of value 0.
    if (numWords > numWholeWords)
        words[(size_t)numWholeWords] = 0;
}

std::unique_ptr<juce::XmlElement> SettingsSyxToXml::createXml()
{
    auto root = createDefaultSettingsDocument();
    jassert (root != nullptr);

    if (root == nullptr)
        root = std::make_unique<juce::XmlElement> ("CORVADINE");

    incompleteRecord = false;
    int position = 0;

    for (int record = 0; record < maxRecords && position < numWords; ++record)
    {
        const int numRecordWords = (int)(words[(size_t)position] >> 24);

        if (numRecordWords == 0)
            break;

        if (position + numRecordWords > numWords)
        {
            incompleteRecord = true;
            break;
        }

        decodeRecord (position, *root);
        position += numRecordWords;
    }

    return root;
}

int SettingsSyxToXml::decodeRecord (int position, juce::XmlElement& root)
{
    if (position < 0 || position >= numWords)
        return 0;

    const auto header = words[(size_t)position];
    const int numRecordWords = (int)(header >> 24);
    const int type = (int)((header >> 16) & 0xff);
    const int elementId = (int)((header >> 8) & 0xff);
    const int firstParameterId = (int)(header & 0xff);

    if (numRecordWords == 0 || position + numRecordWords > numWords)
        return numRecordWords;

    const juce::Identifier* tag = type == 1   ? &effectTag
                                  : type == 2 ? &modifierTag
                                  : type == 3 ? &controlsTag
                                              : nullptr;
    const int count = numRecordWords - 1;

    // The writer never sends a record without values: it would be an element the amplifier
    // does not hold.
    if (tag == nullptr || count == 0)
        return numRecordWords;

    // The writer splits an element at every gap in its parameter numbering, so a record that
    // continues the element of the record before it belongs to that element.
    auto* element = getLastChildElement (root);

    if (element == nullptr || element->getTagName() != tag->toString() ||
        element->getStringAttribute (idAttribute) != getNumberText (elementId))
    {
        element = createElement (*tag, elementId);
        root.addChildElement (element);
    }

    addParameters (*element, position + 1, count, firstParameterId);

    if (type == 2 && elementId >= firstMatrixModId && holdsMatrixModValues (*element))
        root.replaceChildElement (element, createMatrixMod (*element));

    return numRecordWords;
}

bool SettingsSyxToXml::holdsMatrixModValues (const juce::XmlElement& modifier)
{
    int expectedId = 0;

    for (auto* parameter = modifier.getFirstChildElement(); parameter != nullptr;
         parameter = parameter->getNextElement())
        if (expectedId == matrixModValues ||
            parameter->getStringAttribute (idAttribute) != getNumberText (expectedId++))
            return false;

    return expectedId == matrixModValues;
}

juce::XmlElement* SettingsSyxToXml::createMatrixMod (juce::XmlElement& modifier)
{
    // The fixed layout of the matrix modulation: its parameters 0 to 72 move, in order, into
    // nine effects.
    auto* matrixMod = createElement (matrixModTag, modifier.getIntAttribute (idAttribute));

    auto moveParameters = [&] (int effectId, int count)
    {
        auto* effect = createElement (effectTag, effectId);

        for (int i = 0; i < count; ++i)
        {
            auto* parameter = modifier.getFirstChildElement();
            modifier.removeChildElement (parameter, false);
            effect->addChildElement (parameter);
        }

        matrixMod->addChildElement (effect);
    };

    moveParameters (0, 1);

    for (int k = 0; k < 4; ++k)
    {
        moveParameters (2 * k + 1, 2);
        moveParameters (2 * k + 2, 16);
    }

    return matrixMod;
}

void SettingsSyxToXml::addParameters (juce::XmlElement& element, int position, int count,
                                      int firstParameterId)
{
    if (position < 0 || position >= numWords || count <= 0)
        return;

    count = juce::jmin (count, numWords - position);

    auto makeParameter = [&] (int i)
    {
        auto* parameter = new juce::XmlElement (parameterTag);
        parameter->setAttribute (idAttribute, getNumberText (firstParameterId + i));
        parameter->setAttribute (stepValueAttribute, getNumberText ((int)words[(size_t)(position + i)]));
        return parameter;
    };

    // Appending walks the child list each time; an empty element is filled from the back instead.
    if (element.getFirstChildElement() == nullptr)
    {
        for (int i = count; --i >= 0;)
            element.prependChildElement (makeParameter (i));
    }
    else
    {
        for (int i = 0; i < count; ++i)
            element.addChildElement (makeParameter (i));
    }
}

const juce::String& SettingsSyxToXml::getNumberText (int number)
{
    if (number < -numberTextOffset || number >= numberTextOffset)
    {
        uncachedText = juce::String (number);
        return uncachedText;
    }

    auto& text = numberTexts[(size_t)(number + numberTextOffset)];

    if (text.isEmpty())
        text = juce::String (number);

    return text;
}

juce::XmlElement* SettingsSyxToXml::getLastChildElement (juce::XmlElement& root)
{
    juce::XmlElement* last = nullptr;

    for (auto* child = root.getFirstChildElement(); child != nullptr; child = child->getNextElement())
        last = child;

    return last;
}

juce::XmlElement* SettingsSyxToXml::createElement (const juce::Identifier& tag, int id)
{
    auto* element = new juce::XmlElement (tag);
    element->setAttribute (idAttribute, getNumberText (id));
    return element;
}
