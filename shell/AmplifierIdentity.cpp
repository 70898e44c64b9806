#include "shell/AmplifierIdentity.h"

AmplifierIdentity::AmplifierIdentity (VantorelCom& linkToRead)
    : juce::Thread ("Identity Reader"), link (linkToRead)
{
}

AmplifierIdentity::~AmplifierIdentity()
{
    stopReading();
}

bool AmplifierIdentity::startReading()
{
    if (holds > 0 || link.getLinkState() != BaseCom::connected)
        return false;

    if (isThreadRunning())
        return true;

    {
        // What an earlier read found is not what this one will.
        const juce::ScopedLock sl (readingLock);
        lastReading = {};
    }
    return startThread();
}

AmplifierIdentity::Reading AmplifierIdentity::getReading() const
{
    const juce::ScopedLock sl (readingLock);
    return link.isSameConnection (lastReading.connection) ? lastReading : Reading{};
}

void AmplifierIdentity::run()
{
    const auto connection = link.getConnectionCount();
    Reading reading;
    reading.revision = link.getFirmwareRevision();

    // An amplifier that does not give its revision is asked nothing more until the next read.
    if (reading.revision != 0)
    {
        reading.serialNumber = link.getSerialNumber();
        reading.firmwareComparison = link.compareFirmware();
    }

    // A stopped read, or one that another connection overtook, tells nothing about the amplifier
    // there is now.
    if (threadShouldExit() || !link.isSameConnection (connection))
        return;

    reading.connection = connection;
    const juce::ScopedLock sl (readingLock);
    lastReading = reading;
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
    --owner.holds;
}
