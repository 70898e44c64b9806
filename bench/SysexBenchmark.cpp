// The cost of turning a full block (255 frames of 64 bytes) into SysEx wire bytes and back, each as
// a ratio to a plain memcpy of the same 16320 bytes measured in the same run; and, once, the time
// it takes to program the "ZELTA M" device template into an emulated amplifier, which the frame
// pacing of the link fixes; and the present-device scan of this machine, which a transfer runs
// once per frame inside the 20 ms pause between frames.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <vector>
#include "document/PresetLibrary.h"
#include "link/FrameMessage.h"
#include "link/VantorelCom.h"
#include "platform/SysfsUsbDeviceEnumerator.h"
#include "testing/emulator/AmplifierEmulator.h"

namespace
{
using Clock = std::chrono::steady_clock;
constexpr int blockSize = 16320;

std::vector<juce::uint8> makeBlock()
{
    std::vector<juce::uint8> block (blockSize);
    juce::Random random (1);
    for (auto& b : block)
        b = (juce::uint8)random.nextInt (256);
    return block;
}

// Nanoseconds of one memcpy of the block, averaged over many.
double memcpyNanoseconds (const std::vector<juce::uint8>& block)
{
    std::vector<juce::uint8> copy (block.size());
    constexpr int repetitions = 20000;
    const auto start = Clock::now();
    for (int i = 0; i < repetitions; ++i)
    {
        std::memcpy (copy.data(), block.data(), block.size());
        benchmark::DoNotOptimize (copy.data());
        benchmark::ClobberMemory();
    }
    return std::chrono::duration<double, std::nano> (Clock::now() - start).count() / repetitions;
}

// The block as the link sends it: numbered frames, each one SysEx message of wire bytes.
std::vector<juce::MidiMessage> packBlock (const std::vector<juce::uint8>& block)
{
    std::vector<juce::MidiMessage> wire;
    wire.reserve (FrameMessage::maxFrames);
    const int count = (int)(block.size() + 63) / 64;
    for (int index = 1, offset = 0; offset < (int)block.size(); ++index, offset += 64)
    {
        const FrameMessage frame (119, 40, (juce::uint8)index, (juce::uint8)count, block.data() + offset,
                                  juce::jmin (64, (int)block.size() - offset));
        wire.push_back (frame.toMidiMessage());
    }
    return wire;
}

// The wire bytes as the link reads them back: parse each message and gather the frame data.
void unpackBlock (const std::vector<juce::MidiMessage>& wire, std::vector<juce::uint8>& block)
{
    block.clear();
    for (const auto& message : wire)
    {
        const FrameMessage frame (SysexMessage::fromMidiMessage (message));
        block.insert (block.end(), frame.getData(), frame.getData() + frame.getDataSize());
    }
}

void BM_Memcpy16320 (benchmark::State& state)
{
    const auto block = makeBlock();
    std::vector<juce::uint8> copy (block.size());
    for (auto _ : state)
    {
        std::memcpy (copy.data(), block.data(), block.size());
        benchmark::DoNotOptimize (copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed ((int64_t)state.iterations() * blockSize);
}
BENCHMARK (BM_Memcpy16320);

void BM_PackBlockToWire (benchmark::State& state)
{
    const auto block = makeBlock();
    const double memcpyNs = memcpyNanoseconds (block);

    const auto start = Clock::now();
    for (auto _ : state)
    {
        auto wire = packBlock (block);
        benchmark::DoNotOptimize (wire.data());
    }
    const double ns = std::chrono::duration<double, std::nano> (Clock::now() - start).count();

    state.SetBytesProcessed ((int64_t)state.iterations() * blockSize);
    state.counters["frames"] = (double)FrameMessage::maxFrames;
    state.counters["ratio_to_memcpy"] = ns / (double)state.iterations() / memcpyNs;
}
BENCHMARK (BM_PackBlockToWire);

void BM_UnpackWireToBlock (benchmark::State& state)
{
    const auto block = makeBlock();
    const auto wire = packBlock (block);
    std::vector<juce::uint8> back;
    back.reserve (blockSize);
    unpackBlock (wire, back);
    if (back != block)
        state.SkipWithError ("the block did not come back");
    const double memcpyNs = memcpyNanoseconds (block);

    const auto start = Clock::now();
    for (auto _ : state)
    {
        unpackBlock (wire, back);
        benchmark::DoNotOptimize (back.data());
    }
    const double ns = std::chrono::duration<double, std::nano> (Clock::now() - start).count();

    state.SetBytesProcessed ((int64_t)state.iterations() * blockSize);
    state.counters["ratio_to_memcpy"] = ns / (double)state.iterations() / memcpyNs;
}
BENCHMARK (BM_UnpackWireToBlock);

// Programming is paced at 20 ms per frame; one run says how long a full device takes.
void BM_ProgramZeltaMTemplate (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    PresetLibrary library;
    const auto* family = library.getElement (1);
    if (family == nullptr)
    {
        state.SkipWithError ("the device templates are not embedded");
        return;
    }

    AmplifierEmulator emulator ({ "Zelta 120/2M", 0x4005, 0x4004, 4 });
    VantorelCom link (emulator.createUsbDevices(), emulator.createMidiPorts());
    for (int tick = 0; tick < 10 && link.getLinkState() != BaseCom::connected; ++tick)
        link.timerCallback();

    bool ok = false;
    double seconds = 0;
    for (auto _ : state)
    {
        juce::XmlElement device (*family);
        const auto start = Clock::now();
        ok = link.sendApplication (device);
        seconds = std::chrono::duration<double> (Clock::now() - start).count();
    }

    if (!ok || emulator.getNumStoredBlocks (40) != 1 || emulator.getNumStoredBlocks (37) != 1)
        state.SkipWithError ("programming failed");

    state.counters["settings_frames"] = emulator.getNumReceived (40);
    state.counters["application_frames"] = emulator.getNumReceived (37);
    state.counters["frames"] = emulator.getNumReceived (40) + emulator.getNumReceived (37);
    state.counters["settings_bytes"] = (double)emulator.getStoredBlock (40).getSize();
    state.counters["application_bytes"] = (double)emulator.getStoredBlock (37).getSize();
    state.counters["seconds"] = seconds;
}
BENCHMARK (BM_ProgramZeltaMTemplate)->Iterations (1)->UseRealTime()->Unit (benchmark::kSecond);

// One present-device scan, as a transfer makes after every frame to notice an amplifier that
// went away, over a sysfs tree shaped like a desktop's: 16 devices with two interfaces each, one
// of them an amplifier. "share_of_pause" is its part of the 20 ms between frames.
void BM_UsbPresenceScan (benchmark::State& state)
{
    const auto root = juce::File::createTempFile ("sysfs");
    for (int i = 0; i < 16; ++i)
    {
        const auto name = "1-" + juce::String (i + 1);
        auto device = root.getChildFile (name);
        device.createDirectory();
        device.getChildFile ("idVendor").replaceWithText (i == 7 ? "1e7a\n" : "046d\n");
        device.getChildFile ("idProduct").replaceWithText (juce::String::toHexString (0x4000 + i) + "\n");
        device.getChildFile ("bDeviceClass").replaceWithText ("00\n");
        for (int k = 0; k < 2; ++k)
        {
            auto interface = root.getChildFile (name + ":1." + juce::String (k));
            interface.createDirectory();
            interface.getChildFile ("bInterfaceClass").replaceWithText (i == 7 ? "01\n" : "03\n");
        }
    }

    SysfsUsbDeviceEnumerator devices (root);
    juce::Array<UsbDeviceId> present;
    for (auto _ : state)
    {
        scanUsbDevices (devices, present);
        benchmark::DoNotOptimize (present.size());
    }
    root.deleteRecursively();
    if (present.size() != 1)
        state.SkipWithError ("the amplifier was not found");
    // Inverted rate: seconds per scan divided by the pause.
    state.counters["share_of_pause"] =
        benchmark::Counter (LinkTiming().frameSpacingMs / 1000.0,
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK (BM_UsbPresenceScan)->Unit (benchmark::kMicrosecond)->UseRealTime();
} // namespace
