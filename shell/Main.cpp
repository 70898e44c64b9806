#include "shell/VantorelApplication.h"

// The framework's entry point: it keeps the program to one instance and runs
// the application object's message loop.
START_JUCE_APPLICATION (VantorelApplication)
