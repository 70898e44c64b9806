#pragma once

#include <juce_core/juce_core.h>

// The key that guards a device's settings in the amplifier: the decimal text of a 32-bit hash of
// the password's UTF-8 bytes followed by the low byte of the amplifier's serial number. Amplifiers
// in the field hold keys made this way, so the hash must never change.
juce::String makePasswordKey (const juce::String& password, juce::uint32 serialNumber);
