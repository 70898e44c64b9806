#pragma once

#include "link/MidiInterfaceClass.h"
#include "link/FirmwareImage.h"

// Sends one firmware image message by message through the link's ports, exactly as stored.
// Neither the ports nor the image are owned; the link keeps both alive while it holds this.
class FirmwareStreamer
{
public:
    FirmwareStreamer (MidiInterfaceClass& ports, FirmwareImage& image);

    // Rewinds the image and sends its start message.
    void start();
    // Sends the next message unless the image is at its end.
    void sendNext();

private:
    MidiInterfaceClass& ports;
    FirmwareImage& image;
};
