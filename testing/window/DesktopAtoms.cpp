#include "testing/window/DesktopAtoms.h"

#include <X11/Xlib.h>
#include <initializer_list>

namespace
{
// Open until the process ends.
struct Connection
{
    Connection() : display (XOpenDisplay (nullptr))
    {
        if (display == nullptr)
            return;

        for (auto* name : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING", "WM_STATE",
                            "WM_CHANGE_STATE" })
            XInternAtom (display, name, False);
        XSync (display, False);
    }

    ~Connection()
    {
        if (display != nullptr)
            XCloseDisplay (display);
    }

    Display* const display;
};
} // namespace

void ensureDesktopAtoms()
{
    static const Connection connection;
}
