#include <benchmark/benchmark.h>

#include "editors/InputComponent.h"
#include "editors/MatrixComponent.h"
#include "editors/OutputComponent.h"
#include "shell/SetupArea.h"
#include "testing/user/ScriptedUserInteraction.h"

namespace
{
// The device of the example applications with the longest text: the most
// settings for a page to read.
const juce::XmlElement& largestExampleDevice (const PresetLibrary& library)
{
    const juce::XmlElement* largest = nullptr;
    int largestLength = -1;

    for (auto* application : *library.getList (PresetLibrary::exampleCategory))
        for (auto* device : application->getChildWithTagNameIterator ("Device"))
            if (const int length = device->toString().length(); length > largestLength)
            {
                largest = device;
                largestLength = length;
            }

    return *largest;
}

DeviceFamily familyOf (const juce::XmlElement& device)
{
    return DeviceFamily::fromName (device.getStringAttribute ("model", "ZELTA M"));
}

struct Fixture
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::SharedResourcePointer<PresetLibrary> library;
    juce::XmlElement device{ largestExampleDevice (*library) };
    DeviceFamily family{ familyOf (device) };
    ScriptedUserInteraction user;
    // Nothing is saved: the pages only need to know where presets would go.
    juce::File documents{ juce::File::getSpecialLocation (juce::File::tempDirectory) };
};

// A page is built and laid out in the page area at the window's smallest size.
template <typename MakePage> void buildPage (benchmark::State& state, MakePage makePage)
{
    Fixture f;

    for (auto _ : state)
    {
        auto page = makePage (f);
        page->setBounds (0, 0, 340, 384);
        benchmark::DoNotOptimize (page.get());
    }
}

void InputPageBuild (benchmark::State& state)
{
    buildPage (state,
               [] (Fixture& f) {
                   return std::make_unique<InputComponent> (f.device, f.library.get(), f.family, f.user,
                                                            f.documents);
               });
}

void MatrixPageBuild (benchmark::State& state)
{
    buildPage (state, [] (Fixture& f)
               { return std::make_unique<MatrixComponent> (&f.device, &f.library.get(), f.family); });
}

void OutputPageBuild (benchmark::State& state)
{
    buildPage (state,
               [] (Fixture& f) {
                   return std::make_unique<OutputComponent> (f.device, f.library.get(), f.family, f.user,
                                                             f.documents);
               });
}

// The page part of a device selection: the pages deleted and built anew, shown
// and given the GPI state.
void SelectDeviceBuildsItsPages (benchmark::State& state)
{
    Fixture f;
    juce::Component parent;
    SetupTabSelector::Listener tabs;
    struct : SetupComponent::Listener
    {
        void setupComponentChanged (SetupComponent&) override {}
    } pages;
    SetupArea area (parent, *f.library, f.user, f.documents, tabs, pages);
    area.setBounds ({ 0, 0, 340, 155 }, { 0, 156, 340, 384 });

    for (auto _ : state)
    {
        area.createPages (f.device, f.family);
        area.showPages();
        benchmark::DoNotOptimize (area.getCurrentPage());
    }
}
} // namespace

BENCHMARK (InputPageBuild)->Unit (benchmark::kMicrosecond)->Repetitions (9)->ReportAggregatesOnly (true);
BENCHMARK (MatrixPageBuild)->Unit (benchmark::kMillisecond);
BENCHMARK (OutputPageBuild)->Unit (benchmark::kMicrosecond)->Repetitions (9)->ReportAggregatesOnly (true);
BENCHMARK (SelectDeviceBuildsItsPages)->Unit (benchmark::kMillisecond);
