#include "platform/JuceMidiPortProvider.h"
#include <gtest/gtest.h>

// Without a sound card there are no ports; with one, the same rules hold. Either way an index
// outside the lists opens nothing.
TEST (JuceMidiPortProvider, OpensNothingOutsideItsLists)
{
    juce::ScopedJuceInitialiser_GUI juce;
    JuceMidiPortProvider ports;

    const auto outputs = ports.getOutputNames();
    const auto inputs = ports.getInputNames();
    EXPECT_EQ (ports.openOutput (-1), nullptr);
    EXPECT_EQ (ports.openOutput (outputs.size()), nullptr);
    EXPECT_EQ (ports.openInput (-1, nullptr), nullptr);
    EXPECT_EQ (ports.openInput (inputs.size(), nullptr), nullptr);
}
