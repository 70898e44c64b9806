#include "link/MidiInterfaceClass.h"

MidiInterfaceClass::MidiInterfaceClass (std::unique_ptr<MidiPortProvider> provider)
    : ports (std::move (provider))
{
}

MidiInterfaceClass::~MidiInterfaceClass()
{
    close();
}

int MidiInterfaceClass::findIndex (const juce::StringArray& names, const juce::String& portName)
{
    const bool windowsXp = juce::SystemStats::getOperatingSystemType() == juce::SystemStats::WinXP;

    for (int i = 0; i < names.size(); ++i)
    {
        if (windowsXp ? names[i].startsWith ("USB Audio Device") : names[i] == portName)
            return i;
    }

    return -1;
}

int MidiInterfaceClass::findOutputIndex (const juce::String& portName) const
{
    return findIndex (ports->getOutputNames(), portName);
}

int MidiInterfaceClass::findInputIndex (const juce::String& portName) const
{
    return findIndex (ports->getInputNames(), portName);
}

int MidiInterfaceClass::getNumOutputs() const
{
    return ports->getOutputNames().size();
}

int MidiInterfaceClass::getNumInputs() const
{
    return ports->getInputNames().size();
}

bool MidiInterfaceClass::openOutputByIndex (int index)
{
    if (index < 0 || index >= getNumOutputs())
        return false;

    closeOutput();
    auto opened = ports->openOutput (index);

    const juce::ScopedLock sl (portLock);
    output = std::move (opened);
    return output != nullptr;
}

bool MidiInterfaceClass::openInputByIndex (int index, juce::MidiInputCallback* callback)
{
    if (index < 0 || index >= getNumInputs())
        return false;

    closeInput();

    const juce::ScopedLock sl (portLock);
    input = ports->openInput (index, callback);
    if (input == nullptr)
        return false;

    input->start();
    return true;
}

bool MidiInterfaceClass::openOutput (const juce::String& portName)
{
    return openOutputByIndex (findOutputIndex (portName));
}

bool MidiInterfaceClass::openInput (const juce::String& portName, juce::MidiInputCallback* callback)
{
    return openInputByIndex (findInputIndex (portName), callback);
}

void MidiInterfaceClass::closeOutput()
{
    const juce::ScopedLock sl (portLock);
    output.reset();
}

void MidiInterfaceClass::closeInput()
{
    const juce::ScopedLock sl (portLock);
    if (input != nullptr)
    {
        input->stop();
        input.reset();
    }
}

void MidiInterfaceClass::close()
{
    closeOutput();
    closeInput();
}

bool MidiInterfaceClass::sendMessage (const juce::MidiMessage& message)
{
    const juce::ScopedLock sl (portLock);
    if (output == nullptr)
        return false;

    output->sendMessageNow (message);
    return true;
}

bool MidiInterfaceClass::isPortReady (const juce::String&) const
{
    return true;
}

bool MidiInterfaceClass::isOutputOpen() const
{
    const juce::ScopedLock sl (portLock);
    return output != nullptr;
}

bool MidiInterfaceClass::isInputOpen() const
{
    const juce::ScopedLock sl (portLock);
    return input != nullptr;
}
