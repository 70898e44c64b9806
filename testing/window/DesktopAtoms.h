#pragma once

// A window manager interns the atoms of the window protocols; a bare Xvfb has none. JUCE only
// looks them up, and a window without a native title bar (a dialog, a message box) then fails on
// the X server. Tests that show such windows call this before the first one: it interns them on
// a connection kept open for the process's life, so that the server does not reset and forget
// them. Nothing happens without a display.
void ensureDesktopAtoms();

// A first base or member of a test fixture that shows such windows: it runs before the fixture
// opens the display.
struct DesktopReady
{
    DesktopReady() { ensureDesktopAtoms(); }
};
