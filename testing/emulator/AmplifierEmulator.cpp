#include "testing/emulator/AmplifierEmulator.h"
#include "testing/emulator/EmulatorReplyQueue.h"
#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace
{
constexpr juce::uint8 messageHeader[] = { 0xf0, 0x00, 0x3a, 0x5c, 0x00 };
constexpr int frameDataSize = 64;

// The amplifier's side of the wire format, written apart from the link's codec so that a fault
// there cannot hide behind the same fault here.
std::vector<juce::uint8> unpack (const juce::uint8* wire, int length)
{
    std::vector<juce::uint8> bytes;
    for (int position = 0; position < length;)
    {
        const int header = wire[position++];
        for (int bit = 6; bit >= 0 && position < length; --bit)
            bytes.push_back ((juce::uint8) (wire[position++] | (((header >> bit) & 1) << 7)));
    }
    return bytes;
}

std::vector<juce::uint8> makeWire (juce::uint8 modelId, juce::uint8 command,
                                   const std::vector<juce::uint8>& payload)
{
    std::vector<juce::uint8> wire (std::begin (messageHeader), std::end (messageHeader));
    wire.push_back (modelId);
    wire.push_back (command);

    for (size_t group = 0; group < payload.size(); group += 7)
    {
        const size_t headerPosition = wire.size();
        wire.push_back (0);
        for (size_t i = group; i < std::min (payload.size(), group + 7); ++i)
        {
            if ((payload[i] & 0x80) != 0)
                wire[headerPosition] = (juce::uint8) (wire[headerPosition] | (0x40 >> (i - group)));
            wire.push_back ((juce::uint8) (payload[i] & 0x7f));
        }
    }

    wire.push_back (0xf7);
    return wire;
}

juce::MidiMessage toMidi (const std::vector<juce::uint8>& wire)
{
    return juce::MidiMessage (wire.data(), (int)wire.size(), 0.0);
}

juce::MidiMessage makeMessage (juce::uint8 modelId, juce::uint8 command,
                               const std::vector<juce::uint8>& payload)
{
    return toMidi (makeWire (modelId, command, payload));
}

// The text of a command-21 payload; NUL bytes, which a text command never holds, show as \0.
juce::String textOf (const std::vector<juce::uint8>& payload)
{
    juce::String text;
    size_t start = 0;
    for (size_t i = 0; i <= payload.size(); ++i)
    {
        if (i < payload.size() && payload[i] != 0)
            continue;
        text += juce::String::fromUTF8 ((const char*)payload.data() + start, (int)(i - start));
        if (i < payload.size())
            text += "\\0";
        start = i + 1;
    }
    return text;
}

// Messages that are not replies: a channel message, another maker's SysEx, a message cut short,
// one of ours with a command nobody asked for, and one of ours that is far too long.
std::vector<juce::MidiMessage> makeGarbage (juce::uint8 modelId, juce::uint8 replyCommand)
{
    std::vector<juce::MidiMessage> garbage;
    garbage.push_back (juce::MidiMessage::noteOn (1, 64, (juce::uint8)100));

    const juce::uint8 foreign[] = { 0xf0, 0x00, 0x20, 0x33, 0x00, modelId, replyCommand, 0x01, 0x02, 0xf7 };
    garbage.emplace_back (foreign, (int)sizeof (foreign), 0.0);

    const juce::uint8 shortOne[] = { 0xf0, 0x00, 0x3a, 0x5c, 0x00, 0xf7 };
    garbage.emplace_back (shortOne, (int)sizeof (shortOne), 0.0);

    garbage.push_back (makeMessage (modelId, 99, { 1, 2, 3, 4 }));
    garbage.push_back (makeMessage (modelId, replyCommand, std::vector<juce::uint8> (600, 0x55)));
    return garbage;
}
} // namespace

//==============================================================================
class AmplifierEmulator::State
{
public:
    State (const Identity& id, Mode initialMode) : identity (id), mode (initialMode) {}

    void stopDelivery() { replies.stop(); }
    EmulatorReplyQueue& replyQueue() { return replies; }

    //==========================================================================
    // What the operating system sees.

    juce::StringArray getInstanceIds()
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        // Another maker's audio device, present all along.
        juce::StringArray ids{ "USB\\VID_0D8C&PID_0014&MI_00\\7&1F2E3D4C&0&0000" };
        if (mode == Mode::unplugged)
            return ids;

        ids.add (juce::String::formatted ("USB\\VID_1E7A&PID_%04X\\5&2A6C&0&1", currentProductId()));
        ++usbScansSincePlugIn;
        // The boot loader restarts once it has lingered; this listing still shows it.
        if (lingerScansLeft > 0 && --lingerScansLeft == 0)
            setModeLocked (Mode::application);
        return ids;
    }

    juce::StringArray getPortNames (bool input) const
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        return portNamesLocked (input);
    }

    // The generation the port belongs to, -1 when there is no such port or it fails to open;
    // amplifierPort tells ours from the unrelated one.
    int openPort (bool input, int index, bool& amplifierPort)
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        const auto names = portNamesLocked (input);
        if (!juce::isPositiveAndBelow (index, names.size()))
            return -1;

        amplifierPort = names[index] != unrelatedPortName;
        if (amplifierPort && isOn (input ? Fault::inputFailsToOpen : Fault::outputFailsToOpen))
            return -1;

        ++openPorts;
        return generation;
    }

    void closePort()
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        --openPorts;
    }

    //==========================================================================
    // The output side: everything the link sends.

    void receive (int portGeneration, const juce::MidiMessage& message)
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        if (portGeneration != generation || mode == Mode::unplugged)
            return; // a port of a device that is gone

        if (mode == Mode::update)
            takeFirmwareMessage (message.getRawData(), message.getRawDataSize());
        else
            takeCommand (message.getRawData(), message.getRawDataSize());
    }

    //==========================================================================
    // State and faults; every field below is guarded by stateMutex.

    void setMode (Mode newMode)
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        setModeLocked (newMode);
    }

    int fault (Fault which) const { return faults[(int)which]; }
    bool isOn (Fault which) const { return faults[(int)which] != 0; }

    const Identity identity;
    mutable std::mutex stateMutex;
    Mode mode;
    juce::uint32 revision = defaultRevision;
    juce::uint32 revisionAfterUpdate = defaultRevision;
    juce::uint32 serialNumber = 0x00012345;
    int expectedFirmwareMessages = 0;
    std::map<int, juce::MemoryBlock> storedBlocks;
    std::map<int, int> storedBlockCounts;
    std::map<int, int> receivedCounts;
    juce::StringArray textCommands;
    FirmwareReport firmware;
    int openPorts = 0;

    int faults[(int)Fault::numFaults] = {};

    int framesUntilUnplug = 0;
    int repliesUntilUnplug = 0;
    int firmwareMessagesUntilUnplug = 0;

private:
    struct Assembly
    {
        bool open = false;
        int nextIndex = 0;
        int count = 0;
        juce::MemoryBlock data;
    };

    juce::uint16 currentProductId() const
    {
        return mode == Mode::update ? identity.bootProductId : identity.appProductId;
    }

    juce::StringArray portNamesLocked (bool input) const
    {
        juce::StringArray names{ unrelatedPortName };
        const bool missing = isOn (input ? Fault::inputMissing : Fault::outputMissing);
        const bool late = usbScansSincePlugIn < fault (input ? Fault::inputLate : Fault::outputLate);
        if (mode == Mode::unplugged || missing || late)
            return names;

        names.add (mode == Mode::update ? identity.portName + " Boot" : identity.portName);
        return names;
    }

    void setModeLocked (Mode newMode)
    {
        mode = newMode;
        ++generation; // ports and replies of the device as it was are gone
        replies.startGeneration (generation);
        assemblies.clear();
        previousReply.clear();
        usbScansSincePlugIn = 0;
        lingerScansLeft = 0;
        if (newMode == Mode::update)
            firmware.started = false;
    }

    // The wire bytes of a reply as the faults shape it.
    std::vector<juce::uint8> shapeReply (juce::uint8 command, const std::vector<juce::uint8>& payload) const
    {
        const auto model =
            isOn (Fault::wrongModelByte) ? (juce::uint8) ((identity.modelId + 1) & 0x7f) : identity.modelId;
        auto wire = makeWire (model, command, payload);
        if (isOn (Fault::highDataByte))
            wire[wire.size() - 2] |= 0x80;
        if (isOn (Fault::cutReplies))
            wire.pop_back();
        return wire;
    }

    // Every reply goes out through here.
    void queueReply (juce::uint8 command, const std::vector<juce::uint8>& payload)
    {
        if (isOn (Fault::noReply))
            return;

        if (repliesUntilUnplug > 0 && --repliesUntilUnplug == 0)
        {
            setModeLocked (Mode::unplugged);
            return;
        }

        const auto wire = shapeReply (command, payload);
        std::vector<juce::MidiMessage> messages;
        if (isOn (Fault::garbage))
            messages = makeGarbage (identity.modelId, command);
        if (isOn (Fault::staleReplies) && !previousReply.empty())
            messages.push_back (toMidi (previousReply));
        messages.push_back (toMidi (wire));
        if (isOn (Fault::duplicateReplies))
            messages.push_back (toMidi (wire));
        if (isOn (Fault::garbage))
            messages.push_back (juce::MidiMessage::controllerEvent (1, 7, 90));
        previousReply = wire;

        for (const auto& message : messages)
            replies.push (message, generation, fault (Fault::replyDelayMs));
    }

    void takeCommand (const juce::uint8* raw, int size)
    {
        if (size < 8 || raw[size - 1] != 0xf7 ||
            std::memcmp (raw, messageHeader, sizeof (messageHeader)) != 0)
            return;

        const int command = raw[6];
        const auto payload = unpack (raw + 7, size - 8);
        ++receivedCounts[command];

        switch (command)
        {
            case 3:
            case 5:
            {
                const auto value = command == 3 ? revision : serialNumber;
                // The revision goes least significant byte first, the serial number most significant first.
                std::vector<juce::uint8> word (4);
                for (int i = 0; i < 4; ++i)
                    word[(size_t)i] = (juce::uint8) (value >> (command == 3 ? 8 * i : 24 - 8 * i));
                if (isOn (Fault::shortWordReplies))
                    word.resize (2);
                queueReply ((juce::uint8) (command + 1), word);
                return;
            }

            case 21:
            {
                const auto text = textOf (payload);
                textCommands.add (text);
                if (text == "erasenboot")
                    setModeLocked (Mode::update);
                return;
            }

            case 36:
            case 39:
                if (!payload.empty())
                    answerFrameRequest ((juce::uint8) (command + 1), payload[0]);
                return;

            case 37:
            case 40:
                takeFrame (command, payload);
                return;

            default:
                return;
        }
    }

    void answerFrameRequest (juce::uint8 blockCommand, int frameIndex)
    {
        const int lossCommand = fault (Fault::lostReplyFrameCommand);
        if (frameIndex == fault (Fault::lostReplyFrame) &&
            (lossCommand == 0 || lossCommand == blockCommand - 1))
            return;

        static const juce::MemoryBlock damagedApplication = []
        {
            juce::MemoryBlock bytes (40);
            bytes.fillWith (0x55);
            return bytes;
        }();
        const auto& block = blockCommand == 37 && isOn (Fault::unreadableApplication)
                                ? damagedApplication
                                : storedBlocks[blockCommand];
        const int size = (int)block.getSize();
        const int count = juce::jmax (1, (size + frameDataSize - 1) / frameDataSize);
        if (frameIndex < 1 || frameIndex > count)
            return;

        const int offset = (frameIndex - 1) * frameDataSize;
        const int length = juce::jmin (frameDataSize, size - offset);
        const int statedIndex = isOn (Fault::wrongFrameIndex) ? (frameIndex % 255) + 1 : frameIndex;

        std::vector<juce::uint8> payload{ (juce::uint8)statedIndex, (juce::uint8)count };
        const auto* bytes = static_cast<const juce::uint8*> (block.getData());
        payload.insert (payload.end(), bytes + offset, bytes + offset + juce::jmax (0, length));
        queueReply (blockCommand, payload);
    }

    // Blocks are stored as the amplifier does: frames in order from 1 to the count; a frame out of
    // order (a lost one) spoils the block, which then leaves the stored one as it was.
    void takeFrame (int command, const std::vector<juce::uint8>& payload)
    {
        const bool unplugAfterThis = framesUntilUnplug > 0 && --framesUntilUnplug == 0;

        if (payload.size() >= 2 && payload[0] != fault (Fault::lostIncomingFrame))
        {
            const int index = payload[0];
            const int count = payload[1];
            const int length = (int)payload.size() - 2;
            auto& assembly = assemblies[command];

            if (index == 1)
                assembly = { true, 1, count, {} };

            if (!assembly.open || index != assembly.nextIndex || count != assembly.count || length < 1 ||
                length > frameDataSize || index > count)
            {
                assembly.open = false;
            }
            else
            {
                assembly.data.append (payload.data() + 2, (size_t)length);
                ++assembly.nextIndex;
                if (index == count)
                {
                    storedBlocks[command] = assembly.data;
                    ++storedBlockCounts[command];
                    assembly.open = false;
                }
            }
        }

        if (unplugAfterThis)
            setModeLocked (Mode::unplugged);
    }

    void takeFirmwareMessage (const juce::uint8* raw, int size)
    {
        ++firmware.messages;
        if (lingerScansLeft > 0)
        {
            ++firmware.messagesAfterEnd; // the boot loader is done and listens no more
            return;
        }

        bool wellFormed = size >= 9 && raw[size - 1] == 0xf7 &&
                          std::memcmp (raw, messageHeader, sizeof (messageHeader)) == 0 &&
                          raw[5] == identity.modelId;
        for (int i = 1; wellFormed && i < size - 1; ++i)
            wellFormed = raw[i] < 0x80;

        if (!wellFormed)
            ++firmware.badMessages;
        else if (raw[6] == 0x51 && size == 9 && raw[7] == 1)
            startFirmwareStream();
        else if (raw[6] == 0x52 && size == 599 && raw[7] == 0 && firmware.started)
            takeFirmwareData (raw + 8, size - 9);
        else if (raw[6] == 0x52 && size == 9 && raw[7] == 1 && firmware.started)
            endFirmwareStream();
        else
            ++firmware.badMessages;

        if (firmwareMessagesUntilUnplug > 0 && --firmwareMessagesUntilUnplug == 0)
            setModeLocked (Mode::unplugged);
    }

    void startFirmwareStream()
    {
        firmware.started = true;
        firmware.dataMessages = 0;
        firmware.badMessages = 0;
        firmware.dataBytes = 0;
        firmware.dataChecksum = 0;
    }

    void takeFirmwareData (const juce::uint8* data, int size)
    {
        ++firmware.dataMessages;
        firmware.dataBytes += size;
        for (int i = 0; i < size; ++i)
            firmware.dataChecksum += data[i];
    }

    void endFirmwareStream()
    {
        const bool complete =
            firmware.badMessages == 0 && firmware.dataMessages > 0 &&
            (expectedFirmwareMessages == 0 || firmware.dataMessages == expectedFirmwareMessages);
        firmware.started = false;
        if (!complete)
            return; // the boot loader waits for another stream

        ++firmware.completedUpdates;
        revision = revisionAfterUpdate;
        if (isOn (Fault::updateModeLingers))
            lingerScansLeft = fault (Fault::updateModeLingers);
        else
            setModeLocked (Mode::application);
    }

    int generation = 0;
    int usbScansSincePlugIn = 0;
    int lingerScansLeft = 0;
    std::map<int, Assembly> assemblies;
    std::vector<juce::uint8> previousReply;
    EmulatorReplyQueue replies;
};

//==============================================================================
namespace
{
using State = AmplifierEmulator::State;
using Fault = AmplifierEmulator::Fault;

class EmulatorUsbDevices : public UsbDeviceEnumerator
{
public:
    explicit EmulatorUsbDevices (std::shared_ptr<State> s) : state (std::move (s)) {}
    juce::StringArray getMediaDeviceInstanceIds() override { return state->getInstanceIds(); }

private:
    std::shared_ptr<State> state;
};

class EmulatorOutput : public MidiPortProvider::Output
{
public:
    EmulatorOutput (std::shared_ptr<State> s, int portGeneration, bool amplifier)
        : state (std::move (s)), generation (portGeneration), amplifierPort (amplifier)
    {
    }
    ~EmulatorOutput() override { state->closePort(); }

    void sendMessageNow (const juce::MidiMessage& message) override
    {
        if (amplifierPort)
            state->receive (generation, message);
    }

private:
    std::shared_ptr<State> state;
    int generation;
    bool amplifierPort;
};

class EmulatorInput : public MidiPortProvider::Input
{
public:
    EmulatorInput (std::shared_ptr<State> s, int inputId) : state (std::move (s)), id (inputId) {}
    ~EmulatorInput() override
    {
        state->replyQueue().setInputStarted (id, false);
        state->replyQueue().unregisterInput (id);
        state->closePort();
    }

    void start() override { state->replyQueue().setInputStarted (id, true); }
    void stop() override { state->replyQueue().setInputStarted (id, false); }

private:
    std::shared_ptr<State> state;
    int id;
};

class EmulatorMidiPorts : public MidiPortProvider
{
public:
    explicit EmulatorMidiPorts (std::shared_ptr<State> s) : state (std::move (s)) {}

    juce::StringArray getOutputNames() override { return state->getPortNames (false); }
    juce::StringArray getInputNames() override { return state->getPortNames (true); }

    std::unique_ptr<Output> openOutput (int index) override
    {
        bool amplifierPort = false;
        const int generation = state->openPort (false, index, amplifierPort);
        if (generation < 0)
            return nullptr;
        return std::make_unique<EmulatorOutput> (state, generation, amplifierPort);
    }

    std::unique_ptr<Input> openInput (int index, juce::MidiInputCallback* callback) override
    {
        if (callback == nullptr)
            return nullptr;
        bool amplifierPort = false;
        const int generation = state->openPort (true, index, amplifierPort);
        if (generation < 0)
            return nullptr;
        const int id = state->replyQueue().registerInput (callback, generation, amplifierPort);
        return std::make_unique<EmulatorInput> (state, id);
    }

private:
    std::shared_ptr<State> state;
};
} // namespace

//==============================================================================
AmplifierEmulator::AmplifierEmulator (const Identity& identity, Mode initialMode)
    : state (std::make_shared<State> (identity, initialMode))
{
}

AmplifierEmulator::~AmplifierEmulator()
{
    state->stopDelivery();
}

std::unique_ptr<UsbDeviceEnumerator> AmplifierEmulator::createUsbDevices()
{
    return std::make_unique<EmulatorUsbDevices> (state);
}

std::unique_ptr<MidiPortProvider> AmplifierEmulator::createMidiPorts()
{
    return std::make_unique<EmulatorMidiPorts> (state);
}

void AmplifierEmulator::plugIn (Mode mode)
{
    state->setMode (mode);
}

void AmplifierEmulator::unplug()
{
    state->setMode (Mode::unplugged);
}

#define EMULATOR_LOCKED const std::lock_guard<std::mutex> lock (state->stateMutex)

AmplifierEmulator::Mode AmplifierEmulator::getMode() const
{
    EMULATOR_LOCKED;
    return state->mode;
}

void AmplifierEmulator::setFirmwareRevision (juce::uint32 revision)
{
    EMULATOR_LOCKED;
    state->revision = revision;
}

juce::uint32 AmplifierEmulator::getFirmwareRevision() const
{
    EMULATOR_LOCKED;
    return state->revision;
}

void AmplifierEmulator::setSerialNumber (juce::uint32 serialNumber)
{
    EMULATOR_LOCKED;
    state->serialNumber = serialNumber;
}

void AmplifierEmulator::setRevisionAfterUpdate (juce::uint32 revision)
{
    EMULATOR_LOCKED;
    state->revisionAfterUpdate = revision;
}

void AmplifierEmulator::setExpectedFirmwareMessages (int count)
{
    EMULATOR_LOCKED;
    state->expectedFirmwareMessages = count;
}

juce::MemoryBlock AmplifierEmulator::getStoredBlock (juce::uint8 command) const
{
    EMULATOR_LOCKED;
    const auto found = state->storedBlocks.find (command);
    return found != state->storedBlocks.end() ? found->second : juce::MemoryBlock();
}

void AmplifierEmulator::setStoredBlock (juce::uint8 command, const juce::MemoryBlock& block)
{
    EMULATOR_LOCKED;
    // An empty block is none stored; the framework's copy of an empty block passes memcpy a null.
    if (block.isEmpty())
        state->storedBlocks.erase (command);
    else
        state->storedBlocks[command] = block;
}

int AmplifierEmulator::getNumStoredBlocks (juce::uint8 command) const
{
    EMULATOR_LOCKED;
    const auto found = state->storedBlockCounts.find (command);
    return found != state->storedBlockCounts.end() ? found->second : 0;
}

int AmplifierEmulator::getNumReceived (juce::uint8 command) const
{
    EMULATOR_LOCKED;
    const auto found = state->receivedCounts.find (command);
    return found != state->receivedCounts.end() ? found->second : 0;
}

juce::StringArray AmplifierEmulator::getTextCommands() const
{
    EMULATOR_LOCKED;
    return state->textCommands;
}

AmplifierEmulator::FirmwareReport AmplifierEmulator::getFirmwareReport() const
{
    EMULATOR_LOCKED;
    return state->firmware;
}

void AmplifierEmulator::setFault (Fault fault, int value)
{
    if (!juce::isPositiveAndBelow ((int)fault, (int)Fault::numFaults))
        return;
    EMULATOR_LOCKED;
    state->faults[(int)fault] = juce::jmax (0, value);
}

int AmplifierEmulator::getNumOpenPorts() const
{
    EMULATOR_LOCKED;
    return state->openPorts;
}

void AmplifierEmulator::unplugAfterIncomingFrames (int count)
{
    EMULATOR_LOCKED;
    state->framesUntilUnplug = count;
}

void AmplifierEmulator::unplugAfterReplies (int count)
{
    EMULATOR_LOCKED;
    // The count-th reply still goes out; the request after it finds the amplifier gone.
    state->repliesUntilUnplug = count > 0 ? count + 1 : 0;
}

void AmplifierEmulator::unplugAfterFirmwareMessages (int count)
{
    EMULATOR_LOCKED;
    state->firmwareMessagesUntilUnplug = count;
}

#undef EMULATOR_LOCKED
