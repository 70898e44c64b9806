// Plays an amplifier whose replies come from the input: the link reads the stored application
// and settings, and every request it makes is answered, within the send, with bytes that take
// the whole road of a reply: the MIDI input callback, the reply slot, frame reassembly,
// decompression, the nesting check and the XML and settings-block readers.
//
// The first input byte chooses how the rest becomes replies:
//   0: raw MIDI messages, cut after each F7; each request gets the next one;
//   1: two length bytes, the settings block, then the compressed application payload, both
//      framed correctly by the amplifier;
//   2: the same, but the payload is the application text, which the amplifier compresses.
#include <cstdint>
#include <cstdlib>
#include <vector>
#include "link/ApplicationPayload.h"
#include "link/VantorelCom.h"
#include "testing/emulator/ScriptedMidiPorts.h"

namespace
{
void check (bool condition)
{
    if (!condition)
        std::abort();
}

using Bytes = std::vector<juce::uint8>;

class PresentAmplifier : public UsbDeviceEnumerator
{
public:
    juce::StringArray getMediaDeviceInstanceIds() override { return { "USB\\VID_1E7A&PID_4003\\1" }; }
};

// The amplifier's side: answers each request at once from the current script.
struct Script
{
    bool raw = true;
    std::vector<juce::MidiMessage> rawReplies;
    size_t nextRawReply = 0;
    juce::MemoryBlock blocks[2]; // application payload (36/37), settings (39/40)

    std::vector<juce::MidiMessage> answer (const SysexMessage& request)
    {
        if (raw)
        {
            if (nextRawReply < rawReplies.size())
                return { rawReplies[nextRawReply++] };
            return {};
        }

        const int command = request.getCommand();
        if (request.getPayload().size() != 1 || (command != 36 && command != 39))
            return {};

        const auto& block = blocks[command == 36 ? 0 : 1];
        const int size = (int)block.getSize();
        const int count = juce::jlimit (1, 255, (size + 63) / 64);
        const int index = request.getPayload()[0];
        const int offset = (index - 1) * 64;
        const int length = juce::jlimit (0, 64, size - offset);
        Bytes data (2 + (size_t)length);
        data[0] = (juce::uint8)index;
        data[1] = (juce::uint8)count;
        if (length > 0)
            std::memcpy (data.data() + 2, static_cast<const char*> (block.getData()) + offset,
                         (size_t)length);

        return {
            SysexMessage (119, (juce::uint8) (command + 1), data.data(), (int)data.size()).toMidiMessage()
        };
    }
};

struct Fixture
{
    Fixture()
    {
        auto scripted = std::make_unique<ScriptedMidiPorts> (
            "Zelta 240/2M", [this] (const SysexMessage& request) { return script.answer (request); });

        // Replies arrive within the send, so nothing is waited for.
        LinkTiming immediate;
        immediate.maxReplyPolls = 0;
        immediate.frameSpacingMs = 0;
        link = std::make_unique<VantorelCom> (std::make_unique<PresentAmplifier>(), std::move (scripted),
                                              immediate);
        link->stopTimer();
        for (int tick = 0; tick < 10 && link->getLinkState() != BaseCom::connected; ++tick)
            link->timerCallback();
        check (link->getLinkState() == BaseCom::connected);
    }

    juce::ScopedJuceInitialiser_GUI juce;
    Script script;
    std::unique_ptr<VantorelCom> link;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static Fixture fixture;
    auto& script = fixture.script;

    if (size < 1 || size > 32768)
        return 0;

    const int mode = data[0] % 3;
    const auto* rest = data + 1;
    const size_t restSize = size - 1;

    script.raw = mode == 0;
    script.rawReplies.clear();
    script.nextRawReply = 0;

    if (mode == 0)
    {
        size_t start = 0;
        for (size_t i = 0; i < restSize; ++i)
        {
            if (rest[i] == 0xf7 || i + 1 == restSize)
            {
                script.rawReplies.emplace_back (rest + start, (int)(i + 1 - start), 0.0);
                start = i + 1;
            }
        }
    }
    else
    {
        if (restSize < 2)
            return 0;
        const size_t settingsSize = juce::jmin (restSize - 2, (size_t)((rest[0] << 8) | rest[1]));
        script.blocks[1] = juce::MemoryBlock (rest + 2, settingsSize);
        const auto* application = rest + 2 + settingsSize;
        const size_t applicationSize = restSize - 2 - settingsSize;
        script.blocks[0] = mode == 1 ? juce::MemoryBlock (application, applicationSize)
                                     : createApplicationPayload (application, applicationSize, 927);
    }

    juce::XmlElement destination ("Device");
    destination.setAttribute ("name", "before");
    const int result = fixture.link->readApplication (destination);
    check (result == QuobCom::readDone || result == QuobCom::readNoSettings || result == QuobCom::readFailed);

    // The settings come last, and only with a read that reports them.
    const auto* last = destination.getChildElement (destination.getNumChildElements() - 1);
    if (result == QuobCom::readDone)
        check (last != nullptr && last->hasTagName ("CORVADINE"));
    else
        check (last == nullptr && destination.getStringAttribute ("name") == "before");

    // Whatever was read can be programmed again and read back.
    check (parseApplicationPayload (createApplicationPayload (destination, 927)) != nullptr);
    return 0;
}
