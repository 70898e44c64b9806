#include "shell/AmplifierIdentity.h"

AmplifierIdentity::AmplifierIdentity (VantorelCom& linkToRead)
    : juce::Thread ("Identity Reader"), link (linkToRead)
{
}

AmplifierIdentity::~AmplifierIdentity()
{
    waitingRoad = nullptr;
    stopReading();
    cancelPendingUpdate();
}

bool AmplifierIdentity::startReading()
{
    if (holds > 0 || link.getLinkState() != BaseCom::connected)
        return false;

    if (readRunning)
        return true;

    // The last read's thread may still be closing after its end was announced.
    waitForThreadToExit (-1);
    readRunning = true;
    if (startThread())
        return true;

    readRunning = false;
    return false;
}

AmplifierIdentity::Reading AmplifierIdentity::getReading() const
{
    const juce::ScopedLock sl (readingLock);
    return link.isSameConnection (lastReading.connection) ? lastReading : Reading{};
}

bool AmplifierIdentity::isReadingMissing() const
{
    return link.getLinkState() == BaseCom::connected && getReading().connection == 0;
}

void AmplifierIdentity::whenRead (std::function<void()> road)
{
    if (!isReadingMissing() && !readRunning)
    {
        waitingRoad = nullptr;
        road();
        return;
    }

    waitingRoad = std::move (road);
    // Refused only under a hold, whose end looks again.
    startReading();
}

void AmplifierIdentity::handleAsyncUpdate()
{
    // A read still running announces its end once more.
    if (waitingRoad == nullptr || readRunning)
        return;

    // The road would open its windows over another one, or share the link with a road that runs.
    if (holds > 0 || juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0)
    {
        waitingRoad = nullptr;
        return;
    }

    // Stopped, or overtaken by another connection: the amplifier there is now is read first.
    if (isReadingMissing() && startReading())
        return;

    const auto road = std::move (waitingRoad);
    waitingRoad = nullptr;
    road();
}

void AmplifierIdentity::run()
{
    readAmplifier();
    readRunning = false;
    triggerAsyncUpdate();
}

void AmplifierIdentity::readAmplifier()
{
    const auto connection = link.getConnectionCount();
    Reading reading;

    if (!readWhenLinkFree (&VantorelCom::getFirmwareRevision, connection, reading.revision))
        return;

    // An amplifier that does not give its revision is asked nothing more until the next read.
    if (reading.revision != 0)
    {
        if (!readWhenLinkFree (&VantorelCom::getSerialNumber, connection, reading.serialNumber))
            return;
        reading.firmwareComparison = link.compareFirmware();
    }

    // A stopped read, or one that another connection overtook, tells nothing about the amplifier
    // there is now.
    if (threadShouldExit() || !link.isSameConnection (connection))
        return;

    reading.connection = connection;
    reading.number = ++readsFinished;
    const juce::ScopedLock sl (readingLock);
    lastReading = reading;
}

bool AmplifierIdentity::readWhenLinkFree (juce::uint32 (VantorelCom::*read) (bool*), juce::uint32 connection,
                                          juce::uint32& word)
{
    for (;;)
    {
        bool linkBusy = false;
        word = (link.*read) (&linkBusy);
        if (!linkBusy)
            return true;

        // A pass ends within a frame once the window takes the link, and a Hold stops this read.
        if (threadShouldExit() || !link.isSameConnection (connection))
            return false;
        sleep (link.getTiming().replyPollMs);
    }
}

void AmplifierIdentity::stopReading()
{
    signalThreadShouldExit();
    waitForThreadToExit (-1);
}

AmplifierIdentity::Hold::Hold (AmplifierIdentity& ownerToHold) : owner (ownerToHold)
{
    ++owner.holds;
    owner.stopReading();
}

AmplifierIdentity::Hold::~Hold()
{
    // A road that waited meanwhile is looked at again.
    if (--owner.holds == 0 && owner.waitingRoad != nullptr)
        owner.triggerAsyncUpdate();
}
