#include "link/BaseCom.h"

BaseCom::BaseCom (std::unique_ptr<UsbDeviceEnumerator> usbDevices,
                  std::unique_ptr<MidiPortProvider> midiPorts, const LinkTiming& linkTiming)
    : timing (linkTiming), ports (std::move (midiPorts)), usb (std::move (usbDevices))
{
    startTimer (timing.tickMs);
}

BaseCom::~BaseCom()
{
    // Already done by the most-derived link; repeated for a link that is a BaseCom alone.
    closePorts();
}

void BaseCom::closePorts()
{
    stopTimer();
    // No MIDI callback may arrive into parts that are being released.
    ports.closeInput();
    ports.closeOutput();
}

juce::uint8 BaseCom::getModelId() const noexcept
{
    const auto* product = currentProduct.load();
    return product != nullptr ? product->getModelId() : (juce::uint8)0;
}

juce::String BaseCom::getProductName() const
{
    const auto* product = currentProduct.load();
    return product != nullptr ? product->getName() : juce::String ("Unknown");
}

bool BaseCom::requestFirmwareUpdate()
{
    if (linkState.load() != connectedInUpdateMode)
        return false;

    updateRequested = true;
    return true;
}

int BaseCom::getUpdateProgress() const
{
    const auto* product = currentProduct.load();
    if (!updating.load() || product == nullptr)
        return 0;
    return product->getFirmwareImage().getPercentStreamed();
}

void BaseCom::setTickPeriod (int periodMs)
{
    if (getTimerInterval() != periodMs)
        startTimer (periodMs);
}

void BaseCom::disconnect()
{
    const int previous = linkState.load();

    setTickPeriod (timing.tickMs);
    currentProduct = nullptr;
    ports.close();
    linkState = idle;

    if (previous == connectedInUpdateMode)
        bootModeDisconnected();
    else if (previous == connected)
        appModeDisconnected();
}

bool BaseCom::isAppUsbPresent (const ProductInfo* product)
{
    if (product == nullptr)
        return false;

    scanUsbDevices (*usb, presentDevices);
    return isUsbDevicePresent (presentDevices, product->getAppProductId());
}

bool BaseCom::isBootUsbPresent (const ProductInfo* product)
{
    if (product == nullptr)
        return false;

    scanUsbDevices (*usb, presentDevices);
    return isUsbDevicePresent (presentDevices, product->getBootProductId());
}

ProductInfo* BaseCom::findProductByAppPid()
{
    scanUsbDevices (*usb, presentDevices);
    for (int i = 0; i < products.size(); ++i)
        if (isUsbDevicePresent (presentDevices, products.getProduct (i)->getAppProductId()))
            return products.getProduct (i);

    return nullptr;
}

ProductInfo* BaseCom::findProductByBootPid()
{
    scanUsbDevices (*usb, presentDevices);
    for (int i = 0; i < products.size(); ++i)
        if (isUsbDevicePresent (presentDevices, products.getProduct (i)->getBootProductId()))
            return products.getProduct (i);

    return nullptr;
}

void BaseCom::openPorts (const juce::String& portName, int nextState)
{
    tickCounter = 0;
    if (ports.openOutput (portName) && ports.openInput (portName, this))
        linkState = nextState;
    else
        disconnect();
}

void BaseCom::settlePorts (const juce::String& portName, int nextState)
{
    if (ports.isPortReady (portName) && ports.isPortReady (portName))
        ++tickCounter;

    if (tickCounter >= 2)
    {
        ++connectionCount;
        linkState = nextState;
        if (nextState == connected)
            appModeConnected();
        else
            bootModeConnected();
    }
}

void BaseCom::timerCallback()
{
    auto* product = currentProduct.load();

    switch (linkState.load())
    {
        case idle:
            tickCounter = 0;
            if (auto* found = findProductByAppPid())
            {
                currentProduct = found;
                linkState = appIdSeen;
            }
            else if (auto* boot = findProductByBootPid())
            {
                currentProduct = boot;
                linkState = bootIdSeen;
            }
            break;

        case appIdSeen:
        case bootIdSeen:
        {
            const bool appMode = linkState.load() == appIdSeen;
            if (!(appMode ? isAppUsbPresent (product) : isBootUsbPresent (product)))
            {
                disconnect();
                break;
            }
            // Seen on three ticks in a row before the ports are opened: a device that is still
            // enumerating has no MIDI ports yet.
            if (++tickCounter >= 2)
                linkState = appMode ? openingAppPorts : openingBootPorts;
            break;
        }

        case openingAppPorts:
            openPorts (product->getMidiPortName(), appPortsSettling);
            break;

        case openingBootPorts:
            openPorts (product->getBootMidiPortName(), bootPortsSettling);
            break;

        case appPortsSettling:
            settlePorts (product->getMidiPortName(), connected);
            break;

        case bootPortsSettling:
            settlePorts (product->getBootMidiPortName(), connectedInUpdateMode);
            break;

        case connected:
            if (!isAppUsbPresent (product))
                disconnect();
            break;

        case connectedInUpdateMode:
            if (!isBootUsbPresent (product))
            {
                disconnect();
                break;
            }
            if (updateRequested.exchange (false))
            {
                updating = true;
                setTickPeriod (timing.streamTickMs);
                streamer = std::make_unique<FirmwareStreamer> (ports, product->getFirmwareImage());
                streamer->start();
                linkState = streamingFirmware;
            }
            break;

        case streamingFirmware:
            if (!isBootUsbPresent (product))
                disconnect();
            else if (streamer != nullptr)
                streamer->sendNext();
            break;

        default:
            disconnect();
            break;
    }
}

bool BaseCom::sendCommand (juce::uint8 command, const void* data, int length)
{
    return sendMessage (SysexMessage (getModelId(), command, data, length));
}

bool BaseCom::sendMessage (const SysexMessage& message)
{
    if (getModelId() == 0 || !message.isValid())
        return false;

    return ports.sendMessage (message.toMidiMessage());
}

bool BaseCom::sendFrame (juce::uint8 command, juce::uint8 frameIndex, juce::uint8 frameCount,
                         const void* data, int length)
{
    return sendMessage (FrameMessage (getModelId(), command, frameIndex, frameCount, data, length));
}

bool BaseCom::isStillConnected (const ProductInfo* product, int state)
{
    if (product == nullptr || currentProduct.load() != product || linkState.load() != state ||
        !ports.isOutputOpen())
        return false;

    // The scan of this thread's own: the timer's list belongs to the message thread.
    const bool updateMode = state == bootIdSeen || state == openingBootPorts || state == bootPortsSettling ||
                            state == connectedInUpdateMode || state == streamingFirmware;
    juce::Array<UsbDeviceId> devices;
    scanUsbDevices (*usb, devices);
    return isUsbDevicePresent (devices,
                               updateMode ? product->getBootProductId() : product->getAppProductId());
}

bool BaseCom::sendFrames (juce::uint8 command, const juce::MemoryBlock& block)
{
    const int size = (int)block.getSize();
    if (size > maxBlockSize)
        return false;

    const juce::ScopedLock operation (requestLock);
    const auto* product = currentProduct.load();
    const int state = linkState.load();
    const int frameCount = (size + FrameMessage::maxDataSize - 1) / FrameMessage::maxDataSize;
    const auto* bytes = static_cast<const juce::uint8*> (block.getData());
    int frameIndex = 1;
    bool ok = true;

    for (int offset = 0; offset < size; offset += FrameMessage::maxDataSize)
    {
        // A thread asked to stop ends here, not after the whole block (several seconds).
        if (juce::Thread::currentThreadShouldExit())
            return false;

        if (ok)
        {
            const int length = juce::jmin (FrameMessage::maxDataSize, size - offset);
            ok =
                sendFrame (command, (juce::uint8)frameIndex, (juce::uint8)frameCount, bytes + offset, length);
            ++frameIndex;
        }

        // A vanished amplifier takes sends without a word until a tick closes its ports. The check
        // runs inside the pause, so the frames keep their spacing.
        const auto pauseStart = juce::Time::getMillisecondCounterHiRes();
        ok = ok && isStillConnected (product, state);
        const auto checkMs = (int)(juce::Time::getMillisecondCounterHiRes() - pauseStart);
        juce::Thread::sleep (juce::jmax (0, timing.frameSpacingMs - checkMs));
    }

    // Gone while it stored the last frame.
    return ok && (size == 0 || isStillConnected (product, state));
}

void BaseCom::armReply (juce::uint8 replyCommand)
{
    // In place before the command goes out, so that even a reply arriving within the send is caught.
    const juce::ScopedLock sl (replyLock);
    replyArrived = false;
    expectedReply = replyCommand;
}

bool BaseCom::waitForReply() const
{
    for (int polls = 0; !replyArrived.load(); ++polls)
    {
        // A reader asked to stop leaves the link to whoever asked within one poll.
        if (polls >= timing.maxReplyPolls || juce::Thread::currentThreadShouldExit())
            return false;
        juce::Thread::sleep (timing.replyPollMs);
    }

    return true;
}

bool BaseCom::request (juce::uint8 command, juce::uint8 replyCommand, void* destination, int& length,
                       int maxLength)
{
    const juce::ScopedLock exchange (requestLock);

    armReply (replyCommand);
    if (!sendCommand (command, nullptr, 0))
        return false;
    if (!waitForReply())
        return false;

    const juce::ScopedLock sl (replyLock);
    bool ok = false;
    if (replySlot != nullptr && replySlot->getPayload().size() <= maxLength)
    {
        const auto& payload = replySlot->getPayload();
        if (!payload.isEmpty())
            std::memcpy (destination, payload.getRawDataPointer(), (size_t)payload.size());
        length = payload.size();
        ok = true;
    }

    replyArrived = false;
    return ok;
}

bool BaseCom::requestFrame (juce::uint8 command, juce::uint8 replyCommand, juce::uint8 frameIndex,
                            juce::uint8& frameCount, juce::uint8* data, int& length)
{
    // Frames are numbered from 1; an unreadable reply reads as frame 0.
    if (frameIndex == 0)
        return false;

    const juce::ScopedLock exchange (requestLock);

    armReply (replyCommand);
    if (!sendCommand (command, &frameIndex, 1))
        return false;
    if (!waitForReply())
        return false;

    const juce::ScopedLock sl (replyLock);
    bool ok = false;
    if (replySlot != nullptr)
    {
        const FrameMessage frame (*replySlot);
        if (frame.getFrameIndex() == frameIndex && frame.getDataSize() <= FrameMessage::maxDataSize)
        {
            frameCount = frame.getFrameCount();
            length = frame.getDataSize();
            if (length > 0)
                std::memcpy (data, frame.getData(), (size_t)length);
            ok = true;
        }
    }

    replyArrived = false;
    return ok;
}

bool BaseCom::readFrames (juce::uint8 command, juce::uint8 replyCommand, juce::OutputStream& output,
                          int* statedCount)
{
    const juce::ScopedLock operation (requestLock);
    int frameIndex = 1;
    int frameCount = 0;
    juce::uint8 data[FrameMessage::maxDataSize];

    if (statedCount != nullptr)
        *statedCount = -1;

    for (;;)
    {
        juce::uint8 count = 0;
        int length = 0;
        // A failed frame fails the read, the last one included.
        if (!requestFrame (command, replyCommand, (juce::uint8)frameIndex, count, data, length))
            return false;

        // Every frame states the block's length; one that contradicts the first belongs to another
        // block, and a block stitched from two would be reported as read.
        if (frameIndex > 1 && count != frameCount)
            return false;

        if (frameIndex == 1 && statedCount != nullptr)
            *statedCount = count;

        output.write (data, (size_t)length);
        frameCount = count;
        if (frameIndex >= frameCount)
            break;
        ++frameIndex;
    }

    return frameIndex == frameCount;
}

int BaseCom::isAcceptedReply (SysexMessage& message) const
{
    const int index = acceptedReplies.indexOf (message.getCommand());
    if (index < 0)
        message.invalidate();
    return index;
}

void BaseCom::handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message)
{
    auto parsed = std::make_unique<SysexMessage> (SysexMessage::fromMidiMessage (message));
    std::unique_ptr<SysexMessage> replaced; // deleted after the lock is released

    const juce::ScopedLock sl (replyLock);

    // The flagged reply stays until its requester has copied it.
    if (replyArrived.load())
        return;

    replaced = std::move (replySlot);
    replySlot = std::move (parsed);

    if (!replySlot->isValid() || isAcceptedReply (*replySlot) < 0)
        return;

    if (replySlot->getCommand() == expectedReply)
        replyArrived = true;
}
