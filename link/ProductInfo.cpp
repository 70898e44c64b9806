#include "link/ProductInfo.h"

ProductInfo::ProductInfo (const juce::String& productName, const juce::String& productPlatform,
                          juce::uint16 appPid, juce::uint16 bootPid, juce::uint8 model,
                          const juce::String& portName, const juce::String& bootPortName,
                          const FirmwareImage& image)
    : name (productName), platform (productPlatform), appProductId (appPid), bootProductId (bootPid),
      modelId (model), midiPortName (portName), bootMidiPortName (bootPortName), firmwareImage (image)
{
}
