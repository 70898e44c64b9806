#include "link/FirmwareImage.h"

FirmwareImage::FirmwareImage() : FirmwareImage ("N/A", "0", 0) {}

FirmwareImage::FirmwareImage (const juce::String& imageName, const juce::String& imageVersion,
                              int imageRevision)
    : name (imageName), version (imageVersion), revision (imageRevision)
{
}

FirmwareImage::FirmwareImage (const FirmwareImage& other)
    : data (other.data), size (other.size), name (other.name), version (other.version),
      revision (other.revision), readPosition (other.readPosition.load())
{
}

FirmwareImage& FirmwareImage::operator= (const FirmwareImage& other)
{
    data = other.data;
    size = other.size;
    name = other.name;
    version = other.version;
    revision = other.revision;
    readPosition = other.readPosition.load();
    return *this;
}

void FirmwareImage::setData (const juce::uint8* imageData, int imageSize)
{
    data = imageData;
    size = imageData != nullptr ? juce::jmax (0, imageSize) : 0;
    readPosition = 0;
}

juce::MidiMessage FirmwareImage::rewind()
{
    readPosition = 0;
    return getNextMessage();
}

juce::MidiMessage FirmwareImage::getNextMessage()
{
    const int start = readPosition.load();
    if (start >= size)
        return {}; // an empty image, or past the end: no bytes to give

    int end = start + 1;
    while (end < size && data[end] != 0xf7)
        ++end;

    const int next = juce::jmin (end + 1, size);
    readPosition = next;
    return juce::MidiMessage (data + start, next - start, 0.0);
}

bool FirmwareImage::isAtEnd() const noexcept
{
    return readPosition.load() + 1 >= size;
}

int FirmwareImage::getPercentStreamed() const noexcept
{
    if (size <= 0)
        return 0;
    return (int)((double)readPosition.load() * 100.0 / (double)size);
}
