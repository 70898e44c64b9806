#include "link/QuobCom.h"
#include "link/ApplicationPayload.h"
#include "document/CorvadineXmlToSyx.h"
#include "document/PresetLibrary.h"
#include "document/ProgramRevision.h"
#include "document/SettingsDocument.h"
#include "document/SettingsSyxToXml.h"

namespace
{
const char* const settingsTag = "CORVADINE";

juce::XmlElement* findSettingsChild (const juce::XmlElement& element)
{
    for (auto* child : element.getChildIterator())
        if (child->getTagName().equalsIgnoreCase (settingsTag))
            return child;
    return nullptr;
}
} // namespace

QuobCom::~QuobCom() = default;

bool QuobCom::sendTextCommand (const juce::String& text)
{
    const auto numBytes = text.getNumBytesAsUTF8();
    if (numBytes > (size_t)maxTextCommandBytes)
        return false;

    char buffer[maxTextCommandBytes + 1] = {};
    text.copyToUTF8 (buffer, sizeof (buffer));
    return sendCommand (textCommand, buffer, (int)numBytes);
}

void QuobCom::enterUpdateMode()
{
    if (isConnected())
        sendTextCommand ("erasenboot");
}

bool QuobCom::sendXmlDocument (const juce::XmlElement& element)
{
    if (!isConnected())
        return false;

    return sendFrames (applicationFrames, createApplicationPayload (element, programRevision));
}

bool QuobCom::sendSettings (const juce::XmlElement& corvadine)
{
    if (!isConnected())
        return false;

    juce::MemoryOutputStream block (256);
    auto writer = std::make_unique<CorvadineXmlToSyx> (corvadine);
    // A block that lost records would leave the amplifier with values silently missing.
    if (!writer->convertAndWrite (block))
        return false;

    return sendFrames (settingsFrames, block.getMemoryBlock());
}

bool QuobCom::sendApplication (juce::XmlElement& device)
{
    const juce::ScopedLock operation (getOperationLock());
    if (!isConnected())
        return false;

    auto* settings = findSettingsChild (device);
    if (settings == nullptr)
        return false;

    device.removeChildElement (settings, false);
    std::unique_ptr<juce::XmlElement> detached (settings);

    // The application payload describes these settings: without them it is not sent either.
    const bool ok = sendSettings (*detached) && sendXmlDocument (device);

    device.addChildElement (detached.release());
    return ok;
}

int QuobCom::readSettings (juce::XmlElement& destination)
{
    if (!isConnected())
        return readFailed;

    juce::MemoryOutputStream block;
    if (!readFrames (readSettingsCommand, settingsFrames, block))
        return readFailed;

    juce::MemoryInputStream input (block.getData(), block.getDataSize(), false);
    auto reader = std::make_unique<SettingsSyxToXml> (input);
    auto settings = reader->createXml();

    // A record cut short means the block is not what the amplifier holds: keep what the caller has.
    if (settings == nullptr || reader->hasIncompleteRecord())
        return readFailed;

    destination = *settings;
    return destination.getNumChildElements() > 0 ? readDone : readNoSettings;
}

std::unique_ptr<juce::XmlElement> QuobCom::readApplicationPayload (bool* noneStored)
{
    juce::MemoryOutputStream payload;
    int statedCount = -1;
    const bool arrived = readFrames (readApplicationCommand, applicationFrames, payload, &statedCount);

    // A first frame of a block of one frame or none that carries nothing is the amplifier saying
    // that it holds no part (the block read takes a block of none as a failure: the settings block
    // has no such answer, the application part has). Anything else must arrive whole and read.
    const bool emptyAnswer = payload.getDataSize() == 0 && (statedCount == 0 || statedCount == 1);
    if (noneStored != nullptr)
        *noneStored = emptyAnswer;

    // A part written by a later revision of this program reads like any other: the revision ahead
    // of it is not looked at.
    return arrived && !emptyAnswer ? parseApplicationPayload (payload.getMemoryBlock()) : nullptr;
}

int QuobCom::readApplication (juce::XmlElement& destination)
{
    const juce::ScopedLock operation (getOperationLock());
    if (!isConnected())
        return readFailed;

    // Only the application part says whether the settings are locked: settings read beside a part
    // that did not arrive whole or cannot be read would come without their password. Only the
    // amplifier's explicit answer that it holds no part gives the settings alone.
    bool noneStored = false;
    auto application = readApplicationPayload (&noneStored);
    if (!noneStored && (application == nullptr || !application->getTagName().equalsIgnoreCase ("Device") ||
                        findSettingsChild (*application) != nullptr))
        return readFailed;

    auto settings = std::make_unique<juce::XmlElement> (settingsTag);
    const int result = readSettings (*settings);
    if (result != readDone)
        return result;

    if (application != nullptr)
        destination = *application;
    destination.addChildElement (settings.release());
    return readDone;
}

bool QuobCom::runSelfTest()
{
    if (!isConnected())
        return false;

    PresetLibrary library;
    return runSelfTest (library);
}

bool QuobCom::runSelfTest (const PresetLibrary& library)
{
    const juce::ScopedLock operation (getOperationLock());
    if (!isConnected())
        return false;

    const int settleMs = getTiming().selfTestSettleMs;

    // EQ and speaker presets travel as application payloads and must come back identical.
    for (const juce::uint8 category : { (juce::uint8)2, (juce::uint8)9 })
    {
        const auto* presets = library.getList (category);
        if (presets == nullptr)
            continue;

        for (const auto* preset : *presets)
        {
            const juce::XmlElement sent (*preset);
            if (!sendXmlDocument (sent))
                return false;

            juce::Thread::sleep (settleMs);
            if (!isConnected())
                return false;

            auto received = readApplicationPayload();
            if (received == nullptr || !received->isEquivalentTo (&sent, false))
                return false;
        }
    }

    // Every example device is programmed and read back: the application part must be equal and
    // every StepValue of the settings must survive the block.
    if (const auto* applications = library.getList (0))
    {
        for (const auto* application : *applications)
        {
            for (const auto* device : application->getChildWithTagNameIterator ("Device"))
            {
                juce::XmlElement sent (*device);
                if (!sendApplication (sent))
                    return false;

                juce::Thread::sleep (settleMs);

                juce::XmlElement test ("Test");
                if (readApplication (test) != readDone)
                    return false;

                auto* sentChild = findSettingsChild (sent);
                auto* readChild = findSettingsChild (test);
                if (sentChild == nullptr || readChild == nullptr)
                    return false;
                sent.removeChildElement (sentChild, false);
                test.removeChildElement (readChild, false);
                const std::unique_ptr<juce::XmlElement> sentSettings (sentChild), readSettings (readChild);

                if (!test.isEquivalentTo (&sent, false))
                    return false;

                if (getStepValues (*readSettings) != getStepValues (*sentSettings))
                    return false;
            }
        }
    }

    return true;
}
