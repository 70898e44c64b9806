// Feeds arbitrary bytes to the settings block reader, as an amplifier might send them, and
// checks that what it builds survives the writer and the reader again unchanged.
#include <cstdint>
#include <cstdlib>
#include "document/CorvadineXmlToSyx.h"
#include "document/SettingsSyxToXml.h"

namespace
{
void check (bool condition)
{
    if (!condition)
        std::abort();
}

// Every element that carries values, with its tag, Id and parameters; elements without values
// leave no record in a block and so do not come back.
juce::String describe (const juce::XmlElement& document)
{
    juce::String text;

    for (auto* element : document.getChildIterator())
    {
        juce::String values;

        for (auto* child : element->getChildIterator())
        {
            if (child->hasTagName ("PARAMETER"))
                values << " " << child->getStringAttribute ("Id") << "="
                       << child->getStringAttribute ("StepValue");
            else
                for (auto* parameter : child->getChildIterator())
                    values << " " << child->getStringAttribute ("Id") << "/"
                           << parameter->getStringAttribute ("Id") << "="
                           << parameter->getStringAttribute ("StepValue");
        }

        if (values.isNotEmpty())
            text << element->getTagName() << " " << element->getStringAttribute ("Id") << ":" << values
                 << "\n";
    }

    return text;
}

std::unique_ptr<juce::XmlElement> read (const void* data, size_t size)
{
    juce::MemoryInputStream input (data, size, false);
    SettingsSyxToXml reader (input);
    check (reader.wasTruncated() == (size > (size_t)SettingsSyxToXml::maxBlockBytes));
    return reader.createXml();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto document = read (data, size);
    check (document != nullptr && document->hasTagName ("CORVADINE"));

    // The records read back take no more room than the block they came from, so the writer can
    // run short only of room for an end word when the source filled the whole block.
    CorvadineXmlToSyx writer (*document);
    juce::MemoryOutputStream block;
    const bool complete = writer.convertAndWrite (block);
    const auto numBytesRead = juce::jmin (size, (size_t)SettingsSyxToXml::maxBlockBytes);

    if (!complete)
        check (numBytesRead > (size_t)SettingsSyxToXml::maxBlockBytes - 4 &&
               writer.getNumDroppedRecords() == 1 &&
               block.getDataSize() == (size_t)CorvadineXmlToSyx::maxBlockBytes);

    auto again = read (block.getData(), block.getDataSize());
    check (describe (*again) == describe (*document));
    return 0;
}
