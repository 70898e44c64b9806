#pragma once

#include "link/BaseCom.h"

class PresetLibrary;

// The transfer operations of the link: text commands, sending and reading back the settings block
// and the application payload, and the self test of the transfer path. Every operation runs on its
// caller's thread and blocks it; all but sendTextCommand need the link connected in application
// mode (state 7) and otherwise return false or 3 and send nothing.
class QuobCom : public BaseCom
{
public:
    enum Command : juce::uint8
    {
        readRevisionCommand = 3,
        revisionReply = 4,
        readSerialCommand = 5,
        serialReply = 6,
        textCommand = 21,
        readApplicationCommand = 36,
        applicationFrames = 37,
        readSettingsCommand = 39,
        settingsFrames = 40
    };

    // Read results.
    enum ReadResult
    {
        readDone = 0,
        readNoSettings = 1, // the block gave a settings document without elements
        readFailed = 3      // not connected, or the transfer failed
    };

    static constexpr int maxTextCommandBytes = 127;

    using BaseCom::BaseCom;
    ~QuobCom() override;

    // Sends the text (UTF-8, no terminator) as command 21. Texts of more than 127 bytes are refused.
    bool sendTextCommand (const juce::String& text);
    // Asks the amplifier to restart in update mode.
    void enterUpdateMode();

    // The element as an application payload, command 37.
    bool sendXmlDocument (const juce::XmlElement& element);
    // The CORVADINE element as a settings block, command 40. A block that lost records for want of
    // room is not sent.
    bool sendSettings (const juce::XmlElement& corvadine);
    // Programs one amplifier: the Device element's CORVADINE child as the settings block, then the
    // rest of the element as the application payload. The child ends up as the element's last
    // child; other threads must not read the element meanwhile. True only when both went out.
    bool sendApplication (juce::XmlElement& device);

    // The settings block read back as a CORVADINE document into destination.
    int readSettings (juce::XmlElement& destination);
    // The stored Device element with the settings appended as its last child. An amplifier that
    // stores no application part gives the settings alone, appended to destination as it is. A
    // part that does not arrive whole, cannot be read or is no Device element without settings
    // fails the read; destination changes only when the read is done.
    int readApplication (juce::XmlElement& destination);

    // Sends every EQ and speaker preset and every example device and reads each back: true when
    // every one came back unchanged.
    bool runSelfTest();
    bool runSelfTest (const PresetLibrary& library);

private:
    bool isConnected() const noexcept { return getLinkState() == connected; }
    // The stored application part, whatever program revision wrote it; null when it did not arrive
    // whole or cannot be read, and when the amplifier answers that it holds none (a first frame of
    // a block of one frame or none, without data), which sets noneStored.
    std::unique_ptr<juce::XmlElement> readApplicationPayload (bool* noneStored = nullptr);
};
