#pragma once

#include "link/FirmwareImage.h"

// One amplifier model the link knows: its names, its USB product ids in application and update
// (boot) mode, the model byte of its messages, its MIDI port names and its firmware image.
class ProductInfo
{
public:
    ProductInfo() = default;
    ProductInfo (const juce::String& name, const juce::String& platform, juce::uint16 appProductId,
                 juce::uint16 bootProductId, juce::uint8 modelId, const juce::String& midiPortName,
                 const juce::String& bootMidiPortName, const FirmwareImage& firmwareImage);
    virtual ~ProductInfo() = default;

    ProductInfo (const ProductInfo&) = default;
    ProductInfo& operator= (const ProductInfo&) = default;

    const juce::String& getName() const noexcept { return name; }
    const juce::String& getPlatform() const noexcept { return platform; }
    juce::uint16 getAppProductId() const noexcept { return appProductId; }
    juce::uint16 getBootProductId() const noexcept { return bootProductId; }
    juce::uint8 getModelId() const noexcept { return modelId; }
    const juce::String& getMidiPortName() const noexcept { return midiPortName; }
    const juce::String& getBootMidiPortName() const noexcept { return bootMidiPortName; }
    const FirmwareImage& getFirmwareImage() const noexcept { return firmwareImage; }
    // The streamer moves the image's cursor.
    FirmwareImage& getFirmwareImage() noexcept { return firmwareImage; }

private:
    juce::String name;
    juce::String platform;
    juce::uint16 appProductId = 0;
    juce::uint16 bootProductId = 0;
    juce::uint8 modelId = 0;
    juce::String midiPortName;
    juce::String bootMidiPortName;
    FirmwareImage firmwareImage;
};
