#include <benchmark/benchmark.h>

#include "editors/ControlComponent.h"

// Building the CONTROL page with its two GPI pages and GPO page, as every
// device selection does, for the device with the most to read: the example
// with a GPI source selector (four matrix-step editors) and Output Level
// modifiers on the other GPI. The page is built on a copy of the device, as
// the pages edit their document.
static void BM_BuildControlPage (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI juce;
    PresetLibrary library;
    const juce::XmlElement* stored = nullptr;

    for (auto* application : *library.getList (PresetLibrary::exampleCategory))
        for (auto* device : application->getChildWithTagNameIterator ("Device"))
            if (stored == nullptr &&
                device->getChildByName ("CORVADINE")->getChildByName ("MATRIXMOD") != nullptr &&
                device->getChildByName ("CORVADINE")->getChildByName ("MODIFIER") != nullptr)
                stored = device;

    if (stored == nullptr)
    {
        state.SkipWithError ("no example device with a source selector and modifiers");
        return;
    }

    const auto family = DeviceFamily::fromName (stored->getStringAttribute ("model", "ZELTA M"));
    juce::XmlElement device (*stored);

    for (auto _ : state)
    {
        ControlComponent page (&device, &library, family);
        page.setSize (400, 400);
        benchmark::DoNotOptimize (page.getSourceSelectorInputMask());
    }
}

BENCHMARK (BM_BuildControlPage)->Unit (benchmark::kMillisecond)->UseRealTime();
