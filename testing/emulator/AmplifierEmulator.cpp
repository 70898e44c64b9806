#include "testing/emulator/AmplifierEmulator.h"
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

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

juce::MidiMessage makeMessage (juce::uint8 modelId, juce::uint8 command,
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
    return juce::MidiMessage (wire.data(), (int)wire.size(), 0.0);
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
    State (const Identity& id, Mode initialMode) : identity (id), mode (initialMode)
    {
        deliveryThread = std::thread ([this] { deliverReplies(); });
    }

    ~State() { stopDelivery(); }

    void stopDelivery()
    {
        {
            const std::lock_guard<std::mutex> lock (queueMutex);
            quit = true;
        }
        queueChanged.notify_all();
        if (deliveryThread.joinable())
            deliveryThread.join();
    }

    //==========================================================================
    // What the operating system sees.

    juce::StringArray getInstanceIds() const
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        // Another maker's audio device, present all along.
        juce::StringArray ids{ "USB\\VID_0D8C&PID_0014&MI_00\\7&1F2E3D4C&0&0000" };
        if (mode != Mode::unplugged)
            ids.add (juce::String::formatted ("USB\\VID_1E7A&PID_%04X\\5&2A6C&0&1", currentProductId()));
        return ids;
    }

    juce::StringArray getPortNames() const
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        return portNamesLocked();
    }

    // The generation the port belongs to, -1 when there is no such port; amplifierPort tells ours
    // from the unrelated one.
    int openPort (int index, bool& amplifierPort) const
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        const auto names = portNamesLocked();
        if (!juce::isPositiveAndBelow (index, names.size()))
            return -1;

        amplifierPort = names[index] != unrelatedPortName;
        return generation.load();
    }

    //==========================================================================
    // The input side: replies go out from the delivery thread to every started input of the
    // current generation.

    int registerInput (juce::MidiInputCallback* callback, int portGeneration, bool amplifierPort)
    {
        const std::lock_guard<std::mutex> lock (deliveryMutex);
        inputs.push_back ({ ++lastInputId, callback, portGeneration, amplifierPort, false });
        return lastInputId;
    }

    void setInputStarted (int inputId, bool started)
    {
        // Waits for a callback in progress: once stop() returns, none runs.
        const std::lock_guard<std::mutex> lock (deliveryMutex);
        for (auto& input : inputs)
            if (input.id == inputId)
                input.started = started;
    }

    void unregisterInput (int inputId)
    {
        const std::lock_guard<std::mutex> lock (deliveryMutex);
        inputs.erase (std::remove_if (inputs.begin(), inputs.end(),
                                      [inputId] (const auto& i) { return i.id == inputId; }),
                      inputs.end());
    }

    //==========================================================================
    // The output side: everything the link sends.

    void receive (int portGeneration, const juce::MidiMessage& message)
    {
        const std::lock_guard<std::mutex> lock (stateMutex);
        if (portGeneration != generation.load() || mode == Mode::unplugged)
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

    bool noReply = false;
    int replyDelayMs = 0;
    bool wrongFrameIndex = false;
    bool shortWordReplies = false;
    bool garbageAroundReplies = false;
    int lostIncomingFrame = 0;
    int lostReplyFrame = 0;
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

    struct InputSlot
    {
        int id;
        juce::MidiInputCallback* callback;
        int generation;
        bool amplifierPort;
        bool started;
    };

    struct PendingReply
    {
        Clock::time_point due;
        int generation;
        juce::MidiMessage message;
    };

    juce::uint16 currentProductId() const
    {
        return mode == Mode::update ? identity.bootProductId : identity.appProductId;
    }

    juce::StringArray portNamesLocked() const
    {
        juce::StringArray names{ unrelatedPortName };
        if (mode == Mode::application)
            names.add (identity.portName);
        else if (mode == Mode::update)
            names.add (identity.portName + " Boot");
        return names;
    }

    void setModeLocked (Mode newMode)
    {
        mode = newMode;
        ++generation; // ports and replies of the device as it was are gone
        assemblies.clear();
        {
            const std::lock_guard<std::mutex> lock (queueMutex);
            pending.clear();
        }
        if (newMode == Mode::update)
            firmware.started = false;
    }

    void queueReply (const juce::MidiMessage& message, juce::uint8 replyCommand)
    {
        if (repliesUntilUnplug > 0 && --repliesUntilUnplug == 0)
        {
            setModeLocked (Mode::unplugged);
            return;
        }

        std::vector<juce::MidiMessage> messages;
        if (garbageAroundReplies)
            messages = makeGarbage (identity.modelId, replyCommand);
        messages.push_back (message);
        if (garbageAroundReplies)
            messages.push_back (juce::MidiMessage::controllerEvent (1, 7, 90));

        const auto due = Clock::now() + std::chrono::milliseconds (replyDelayMs);
        {
            const std::lock_guard<std::mutex> lock (queueMutex);
            for (auto& m : messages)
                pending.push_back ({ due, generation.load(), m });
        }
        queueChanged.notify_all();
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
                if (noReply)
                    return;
                const auto value = command == 3 ? revision : serialNumber;
                // The revision goes least significant byte first, the serial number most significant first.
                std::vector<juce::uint8> word (4);
                for (int i = 0; i < 4; ++i)
                    word[(size_t)i] = (juce::uint8) (value >> (command == 3 ? 8 * i : 24 - 8 * i));
                if (shortWordReplies)
                    word.resize (2);
                queueReply (makeMessage (identity.modelId, (juce::uint8) (command + 1), word),
                            (juce::uint8) (command + 1));
                return;
            }

            case 21:
            {
                const auto text = juce::String::fromUTF8 ((const char*)payload.data(), (int)payload.size());
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
        if (noReply || frameIndex == lostReplyFrame)
            return;

        const auto& block = storedBlocks[blockCommand];
        const int size = (int)block.getSize();
        const int count = juce::jmax (1, (size + frameDataSize - 1) / frameDataSize);
        if (frameIndex < 1 || frameIndex > count)
            return;

        const int offset = (frameIndex - 1) * frameDataSize;
        const int length = juce::jmin (frameDataSize, size - offset);
        const int statedIndex = wrongFrameIndex ? (frameIndex % 255) + 1 : frameIndex;

        std::vector<juce::uint8> payload{ (juce::uint8)statedIndex, (juce::uint8)count };
        const auto* bytes = static_cast<const juce::uint8*> (block.getData());
        payload.insert (payload.end(), bytes + offset, bytes + offset + juce::jmax (0, length));
        queueReply (makeMessage (identity.modelId, blockCommand, payload), blockCommand);
    }

    // Blocks are stored as the amplifier does: frames in order from 1 to the count; a frame out of
    // order (a lost one) spoils the block, which then leaves the stored one as it was.
    void takeFrame (int command, const std::vector<juce::uint8>& payload)
    {
        const bool unplugAfterThis = framesUntilUnplug > 0 && --framesUntilUnplug == 0;

        if (payload.size() >= 2 && payload[0] != lostIncomingFrame)
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
        setModeLocked (Mode::application);
    }

    void deliverReplies()
    {
        std::unique_lock<std::mutex> lock (queueMutex);
        while (!quit)
        {
            if (pending.empty())
            {
                queueChanged.wait (lock);
                continue;
            }

            auto next = std::min_element (pending.begin(), pending.end(),
                                          [] (const auto& a, const auto& b) { return a.due < b.due; });
            if (Clock::now() < next->due)
            {
                queueChanged.wait_until (lock, next->due);
                continue;
            }

            auto reply = std::move (*next);
            pending.erase (next);
            lock.unlock();
            deliver (reply);
            lock.lock();
        }
    }

    void deliver (const PendingReply& reply)
    {
        const std::lock_guard<std::mutex> lock (deliveryMutex);
        if (reply.generation != generation.load())
            return;

        for (const auto& input : inputs)
            if (input.started && input.amplifierPort && input.generation == reply.generation)
                input.callback->handleIncomingMidiMessage (nullptr, reply.message);
    }

    std::atomic<int> generation{ 0 }; // written under stateMutex
    std::map<int, Assembly> assemblies;

    std::mutex deliveryMutex; // held across every callback
    std::vector<InputSlot> inputs;
    int lastInputId = 0;

    std::mutex queueMutex;
    std::condition_variable queueChanged;
    std::vector<PendingReply> pending;
    bool quit = false;
    std::thread deliveryThread;
};

//==============================================================================
namespace
{
using State = AmplifierEmulator::State;

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
        state->setInputStarted (id, false);
        state->unregisterInput (id);
    }

    void start() override { state->setInputStarted (id, true); }
    void stop() override { state->setInputStarted (id, false); }

private:
    std::shared_ptr<State> state;
    int id;
};

class EmulatorMidiPorts : public MidiPortProvider
{
public:
    explicit EmulatorMidiPorts (std::shared_ptr<State> s) : state (std::move (s)) {}

    juce::StringArray getOutputNames() override { return state->getPortNames(); }
    juce::StringArray getInputNames() override { return state->getPortNames(); }

    std::unique_ptr<Output> openOutput (int index) override
    {
        bool amplifierPort = false;
        const int generation = state->openPort (index, amplifierPort);
        if (generation < 0)
            return nullptr;
        return std::make_unique<EmulatorOutput> (state, generation, amplifierPort);
    }

    std::unique_ptr<Input> openInput (int index, juce::MidiInputCallback* callback) override
    {
        bool amplifierPort = false;
        const int generation = state->openPort (index, amplifierPort);
        if (generation < 0 || callback == nullptr)
            return nullptr;
        return std::make_unique<EmulatorInput> (state,
                                                state->registerInput (callback, generation, amplifierPort));
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

void AmplifierEmulator::setNoReply (bool shouldIgnoreRequests)
{
    EMULATOR_LOCKED;
    state->noReply = shouldIgnoreRequests;
}

void AmplifierEmulator::setReplyDelayMs (int delayMs)
{
    EMULATOR_LOCKED;
    state->replyDelayMs = juce::jmax (0, delayMs);
}

void AmplifierEmulator::setWrongFrameIndex (bool shouldAnswerWrongFrame)
{
    EMULATOR_LOCKED;
    state->wrongFrameIndex = shouldAnswerWrongFrame;
}

void AmplifierEmulator::setShortWordReplies (bool shouldSendTwoBytes)
{
    EMULATOR_LOCKED;
    state->shortWordReplies = shouldSendTwoBytes;
}

void AmplifierEmulator::setGarbageAroundReplies (bool shouldSendGarbage)
{
    EMULATOR_LOCKED;
    state->garbageAroundReplies = shouldSendGarbage;
}

void AmplifierEmulator::setLostIncomingFrame (int frameIndex)
{
    EMULATOR_LOCKED;
    state->lostIncomingFrame = frameIndex;
}

void AmplifierEmulator::setLostReplyFrame (int frameIndex)
{
    EMULATOR_LOCKED;
    state->lostReplyFrame = frameIndex;
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
