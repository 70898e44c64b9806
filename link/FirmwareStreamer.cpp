#include "link/FirmwareStreamer.h"

FirmwareStreamer::FirmwareStreamer (MidiInterfaceClass& portPair, FirmwareImage& firmwareImage)
    : ports (portPair), image (firmwareImage)
{
}

void FirmwareStreamer::start()
{
    // An image without data has nothing to send, not even a start message.
    if (image.getSize() <= 0)
        return;

    // The stream has no error detection: a refused message is not repeated.
    ports.sendMessage (image.rewind());
}

void FirmwareStreamer::sendNext()
{
    if (!image.isAtEnd())
        ports.sendMessage (image.getNextMessage());
}
