#include <benchmark/benchmark.h>
#include <chrono>
#include "document/CorvadineXmlToSyx.h"
#include "document/SettingsSyxToXml.h"
#include "tests/document/FullDeviceSettings.h"

namespace
{
// Document to block, as the sending road does it, and the block back to a document, as the
// read-back road does it.
std::unique_ptr<juce::XmlElement> roundTrip (const juce::XmlElement& document)
{
    CorvadineXmlToSyx writer (document);
    juce::MemoryOutputStream block (256);

    if (!writer.convertAndWrite (block))
        return nullptr;

    juce::MemoryInputStream input (block.getData(), block.getDataSize(), false);
    SettingsSyxToXml reader (input);
    return reader.createXml();
}

void SettingsBlockRoundTrip (benchmark::State& state)
{
    const auto document = FullDeviceSettings::create();

    for (auto _ : state)
    {
        auto result = roundTrip (*document);
        benchmark::DoNotOptimize (result.get());
    }

    state.SetItemsProcessed (state.iterations());
}

void SettingsDocumentToString (benchmark::State& state)
{
    const auto document = FullDeviceSettings::create();

    for (auto _ : state)
    {
        auto text = document->toString();
        benchmark::DoNotOptimize (text.getCharPointer().getAddress());
    }

    state.SetItemsProcessed (state.iterations());
}

// Both, alternately in one loop, so that the ratio compares like with like.
void SettingsBlockRoundTripVersusToString (benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const auto document = FullDeviceSettings::create();
    Clock::duration roundTripTime{}, toStringTime{};

    for (auto _ : state)
    {
        const auto start = Clock::now();
        auto result = roundTrip (*document);
        benchmark::DoNotOptimize (result.get());
        const auto middle = Clock::now();
        auto text = document->toString();
        benchmark::DoNotOptimize (text.getCharPointer().getAddress());
        const auto end = Clock::now();

        roundTripTime += middle - start;
        toStringTime += end - middle;
    }

    const auto iterations = (double)state.iterations();
    const auto microseconds = [] (Clock::duration d)
    { return std::chrono::duration<double, std::micro> (d).count(); };
    state.counters["roundTrip_us"] = microseconds (roundTripTime) / iterations;
    state.counters["toString_us"] = microseconds (toStringTime) / iterations;
    state.counters["ratio"] = microseconds (roundTripTime) / microseconds (toStringTime);
}
} // namespace

BENCHMARK (SettingsBlockRoundTrip);
BENCHMARK (SettingsDocumentToString);
BENCHMARK (SettingsBlockRoundTripVersusToString);
