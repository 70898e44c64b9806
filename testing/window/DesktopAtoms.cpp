#include "testing/window/DesktopAtoms.h"

#include <X11/Xlib.h>
#include <initializer_list>

void ensureDesktopAtoms()
{
    static Display* const display = []
    {
        Display* d = XOpenDisplay (nullptr);
        if (d != nullptr)
        {
            for (auto* name : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING",
                                "WM_STATE", "WM_CHANGE_STATE" })
                XInternAtom (d, name, False);
            XSync (d, False);
        }
        return d;
    }();
    (void)display;
}
