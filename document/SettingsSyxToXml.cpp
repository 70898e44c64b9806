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

    if (numRecordWords == 0 || position + numRecordWords > numWords)
        return numRecordWords;

    const int count = numRecordWords - 1;
    const int firstValue = position + 1;
    juce::XmlElement* element = nullptr;

    switch (type)
    {
        case 1:
            element = createElement (effectTag, elementId);
            break;
        case 2:
            if (elementId >= firstMatrixModId && count == matrixModValues)
            {
                root.addChildElement (createMatrixMod (elementId, firstValue));
                return numRecordWords;
            }

            element = createElement (modifierTag, elementId);
            break;
        case 3:
            element = createElement (controlsTag, elementId);
            break;
        default:
            return numRecordWords;
    }

    addParameters (*element, firstValue, count, 0);
    root.addChildElement (element);
    return numRecordWords;
}

juce::XmlElement* SettingsSyxToXml::createMatrixMod (int elementId, int position)
{
    // The fixed layout of the matrix modulation: value j of the record is parameter j.
    auto* matrixMod = createElement (matrixModTag, elementId);

    auto* first = createElement (effectTag, 0);
    addParameters (*first, position, 1, 0);
    matrixMod->addChildElement (first);

    for (int k = 0; k < 4; ++k)
    {
        auto* pair = createElement (effectTag, 2 * k + 1);
        addParameters (*pair, position + 18 * k + 1, 2, 18 * k + 1);
        matrixMod->addChildElement (pair);

        auto* steps = createElement (effectTag, 2 * k + 2);
        addParameters (*steps, position + 18 * k + 3, 16, 18 * k + 3);
        matrixMod->addChildElement (steps);
    }

    return matrixMod;
}

void SettingsSyxToXml::addParameters (juce::XmlElement& element, int position, int count,
                                      int firstParameterId)
{
    if (position < 0 || position >= numWords || count <= 0)
        return;

    count = juce::jmin (count, numWords - position);
    const int firstId =
        firstParameterId + (element.getTagName().equalsIgnoreCase (controlsTag.toString()) ? 1 : 0);

    auto makeParameter = [&] (int i)
    {
        auto* parameter = new juce::XmlElement (parameterTag);
        parameter->setAttribute (idAttribute, getNumberText (firstId + i));
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

juce::XmlElement* SettingsSyxToXml::createElement (const juce::Identifier& tag, int id)
{
    auto* element = new juce::XmlElement (tag);
    element->setAttribute (idAttribute, getNumberText (id));
    return element;
}
