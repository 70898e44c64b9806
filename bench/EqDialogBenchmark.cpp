#include <benchmark/benchmark.h>

#include "editors/EQDialog.h"
#include "testing/user/ScriptedUserInteraction.h"

namespace
{
// One step of a band's gain as a drag makes it, and the dialog painted again
// (type icons, sliders, texts), as the screen would show it.
void EqDialogSliderChangeWithRepaint (benchmark::State& state)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PresetLibrary library;
    ScriptedUserInteraction user;
    const auto documents = juce::File::createTempFile ("documents");
    documents.createDirectory();

    {
        EQDialog dialog (library, EQDialog::outputMode, user, documents);
        dialog.setSize (330, 450);
        dialog.selectFirstFactoryPreset();
        juce::Image screen (juce::Image::ARGB, 330, 450, true);
        auto& gain = dialog.getGainSlider (1);
        int step = 0;

        for (auto _ : state)
        {
            gain.setValue (step, juce::sendNotificationSync);
            step = (step + 7) % 481;
            juce::Graphics g (screen);
            dialog.paintEntireComponent (g, true);
        }
    }

    documents.deleteRecursively();
}
} // namespace

BENCHMARK (EqDialogSliderChangeWithRepaint)
    ->Unit (benchmark::kMicrosecond)
    ->Repetitions (9)
    ->ReportAggregatesOnly (true);
