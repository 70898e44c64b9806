#pragma once

#include "link/QuobCom.h"

// The device link of the program: the nine amplifier models with their firmware images, and the
// identity queries. One shared instance serves the program (juce::SharedResourcePointer<VantorelCom>,
// which builds it with the operating system's USB scan and MIDI ports); tests build their own with
// an emulated amplifier behind the two seams.
class VantorelCom : public QuobCom
{
public:
    static constexpr const char* firmwareVersion = "1.3.0";
    static constexpr int firmwareRevision = 924;

    // The operating system's USB devices (sysfs) and MIDI ports.
    VantorelCom();
    VantorelCom (std::unique_ptr<UsbDeviceEnumerator> usbDevices, std::unique_ptr<MidiPortProvider> midiPorts,
                 const LinkTiming& timing = {});
    ~VantorelCom() override;

    // Read from the amplifier (up to four attempts of about a second); 0 when not connected, when
    // every attempt failed, at once when another thread is using the link, and as soon as the
    // calling thread is asked to stop. linkBusy, when given, tells the third case from the others:
    // the amplifier was not asked at all, so its silence says nothing.
    juce::uint32 readFirmwareRevision (bool* linkBusy = nullptr);
    juce::uint32 readSerialNumber (bool* linkBusy = nullptr);

    // Cached per connection; a cache holding 0 is read again on the next call.
    juce::uint32 getFirmwareRevision (bool* linkBusy = nullptr);
    juce::uint32 getSerialNumber (bool* linkBusy = nullptr);

    // 1 when the amplifier's firmware is newer than the embedded image, 0 when equal or not
    // connected, -1 when older (or unreadable).
    int compareFirmware();

    // Whether the connected model suits a device of the family (0 "ZELTA", 1 "ZELTA M",
    // 2 "ZELTA 70").
    bool isFamily (int family) const;

protected:
    void appModeConnected() override;
    void appModeDisconnected() override;

private:
    void buildProductTable();
    juce::uint32 readWord (juce::uint8 command, juce::uint8 replyCommand, bool mostSignificantFirst,
                           bool* linkBusy);
    juce::uint32 cachedWord (std::atomic<juce::uint32>& cache, juce::uint8 command, juce::uint8 replyCommand,
                             bool mostSignificantFirst, bool* linkBusy);
    void clearCaches();

    // Written by the thread that first asks, cleared on the message thread.
    std::atomic<juce::uint32> cachedRevision{ 0 };
    std::atomic<juce::uint32> cachedSerialNumber{ 0 };
    juce::Array<FirmwareImage> images;
};
