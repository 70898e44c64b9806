#include "testing/emulated/EmulatedVantorelApplication.h"

START_JUCE_APPLICATION (EmulatedVantorelApplication)
