#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <atomic>

// One embedded firmware image: complete SysEx messages back to back (a start message, the data
// messages, an end message), streamed as stored, one message at a time, with a read cursor.
// The bytes are static program data and never freed.
//
// The cursor is written by the streaming timer on the message thread and read by other threads
// for the progress figure, so it is a single atomic word.
class FirmwareImage
{
public:
    // The image that stands for "none": name "N/A", version "0", revision 0, no data.
    FirmwareImage();
    FirmwareImage (const juce::String& name, const juce::String& version, int revision);

    FirmwareImage (const FirmwareImage& other);
    FirmwareImage& operator= (const FirmwareImage& other);

    void setData (const juce::uint8* imageData, int imageSize);

    const juce::String& getName() const noexcept { return name; }
    const juce::String& getVersion() const noexcept { return version; }
    int getRevision() const noexcept { return revision; }
    const juce::uint8* getData() const noexcept { return data; }
    int getSize() const noexcept { return size; }
    int getReadPosition() const noexcept { return readPosition.load(); }

    // Moves the cursor to the start and returns the first message.
    juce::MidiMessage rewind();

    // The bytes from the cursor up to and including the next F7 (or the end of the image), and
    // the cursor moves past them. At the end there is nothing to return: check isAtEnd() first.
    juce::MidiMessage getNextMessage();

    bool isAtEnd() const noexcept;

    // 0 to 100, truncated.
    int getPercentStreamed() const noexcept;

private:
    const juce::uint8* data = nullptr;
    int size = 0;
    juce::String name, version;
    int revision = 0;
    std::atomic<int> readPosition{ 0 };
};
