#include "LinkTestSupport.h"

namespace
{
struct IgnoreMidi : juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override {}
};
} // namespace

TEST (MidiInterfaceClass, FindsPortsByExactNameAndKeepsThemOnBadIndices)
{
    juce::ScopedJuceInitialiser_GUI juce;
    AmplifierEmulator emulator (zelta240_2M());
    MidiInterfaceClass ports (emulator.createMidiPorts());
    IgnoreMidi callback;

    // The emulator lists an unrelated port first.
    EXPECT_EQ (ports.getNumOutputs(), 2);
    EXPECT_EQ (ports.findOutputIndex ("Zelta 240/2M"), 1);
    EXPECT_EQ (ports.findInputIndex ("Zelta 240/2M"), 1);
    EXPECT_EQ (ports.findOutputIndex ("Zelta 240/2"), -1) << "names are compared whole";
    EXPECT_EQ (ports.findOutputIndex ("zelta 240/2M"), -1) << "and with their case";

    const auto probe = SysexMessage (119, 3, nullptr, 0).toMidiMessage();
    EXPECT_FALSE (ports.sendMessage (probe)) << "no output open";
    EXPECT_FALSE (ports.openOutput ("Zelta 240/2M Boot"));

    ASSERT_TRUE (ports.openOutput ("Zelta 240/2M"));
    ASSERT_TRUE (ports.openInput ("Zelta 240/2M", &callback));
    EXPECT_FALSE (ports.openInputByIndex (ports.getNumInputs(), &callback));
    EXPECT_FALSE (ports.openOutputByIndex (-1));
    EXPECT_TRUE (ports.isInputOpen()) << "a bad index leaves the open port alone";
    EXPECT_TRUE (ports.isOutputOpen());

    EXPECT_TRUE (ports.sendMessage (probe));
    EXPECT_EQ (emulator.getNumReceived (3), 1);

    ports.close();
    EXPECT_FALSE (ports.isOutputOpen());
    EXPECT_FALSE (ports.isInputOpen());
    EXPECT_FALSE (ports.sendMessage (probe));
    EXPECT_TRUE (ports.isPortReady ("anything"));
}
