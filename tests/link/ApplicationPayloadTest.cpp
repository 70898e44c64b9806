#include "LinkTestSupport.h"
#include "link/ApplicationPayload.h"

namespace
{
// A payload as an amplifier may hold it: any text, compressed the way the program does.
juce::MemoryBlock payloadOf (const juce::String& text)
{
    return createApplicationPayload (text.toRawUTF8(), text.getNumBytesAsUTF8(), 927);
}

juce::String nested (int depth, const juce::String& inner = {})
{
    return juce::String::repeatedString ("<a>", depth) + inner + juce::String::repeatedString ("</a>", depth);
}
} // namespace

TEST (ApplicationPayload, RefusesWhatWouldHarmTheParserBeforeParsing)
{
    // 50,000 levels in a couple of hundred bytes: the recursive parser would overflow the stack.
    const auto hostile = payloadOf (nested (50000));
    EXPECT_LT (hostile.getSize(), 400u);
    EXPECT_EQ (parseApplicationPayload (hostile), nullptr);

    // A doctype's entity, which the parser would expand into elements, is refused too.
    const auto entity = "<!DOCTYPE r [<!ENTITY e \"" + nested (40) + "\">]><r>&e;</r>";
    EXPECT_NE (juce::parseXML (entity), nullptr);
    EXPECT_EQ (parseApplicationPayload (payloadOf (entity)), nullptr);

    // A broken UTF-8 sequence: the parser steps over it by its lead byte and may run past the end.
    const char broken[] = "<r>\xc3x</r>";
    EXPECT_EQ (parseApplicationPayload (createApplicationPayload (broken, sizeof (broken) - 1, 927)),
               nullptr);

    // What the program writes still reads.
    juce::XmlElement device ("Device");
    device.setAttribute ("name", juce::String::fromUTF8 ("Foyer \"S\xc3\xbc\x64\" <1> & 2\n"));
    device.createNewChildElement ("Input")->addTextElement ("a < b & c > d");
    const auto read = parseApplicationPayload (createApplicationPayload (device, 927));
    ASSERT_NE (read, nullptr);
    EXPECT_TRUE (read->isEquivalentTo (&device, false));
}

TEST (ApplicationPayload, WritesEveryElementOnOneLine)
{
    // What the program keeps in a device: written exactly as JUCE's single-line format does.
    juce::XmlElement device ("Device");
    device.setAttribute ("name", "Lobby");
    auto* page = device.createNewChildElement ("OutputSelection");
    page->createNewChildElement ("Delay")->setAttribute ("Value", "12.5");
    const auto format = juce::XmlElement::TextFormat().singleLine().withoutHeader();
    const auto expected = device.toString (format);

    const auto payload = createApplicationPayload (device, 927);
    juce::MemoryInputStream compressed (payload, false);
    juce::GZIPDecompressorInputStream unzip (compressed);
    juce::MemoryOutputStream content;
    char buffer[256];
    for (int numRead; (numRead = unzip.read (buffer, (int)sizeof (buffer))) > 0;)
        content.write (buffer, (size_t)numRead);
    ASSERT_GT (content.getDataSize(), 5u);
    const auto* bytes = static_cast<const char*> (content.getData());
    EXPECT_EQ (juce::String::fromUTF8 (bytes + 4, (int)content.getDataSize() - 5), expected);
    EXPECT_EQ (bytes[content.getDataSize() - 1], 0);

    // Text followed by an element with children and long attributes: JUCE's own single-line
    // writer crashes on this; a device read back from an amplifier may look so.
    juce::XmlElement mixed ("Device");
    mixed.addTextElement ("note");
    auto* inner = mixed.createNewChildElement ("Input");
    inner->setAttribute ("label", juce::String::repeatedString ("x", 80));
    inner->setAttribute ("id", 1);
    inner->createNewChildElement ("Delay")->addTextElement ("3");
    const auto read = parseApplicationPayload (createApplicationPayload (mixed, 927));
    ASSERT_NE (read, nullptr);
    EXPECT_TRUE (read->isEquivalentTo (&mixed, false));
}
