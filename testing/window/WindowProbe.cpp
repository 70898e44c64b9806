// Finds, measures and closes a program's top-level window on an X server, for the
// smoke test, the screenshot script and the start-up measurement.
//
//   window_probe launch --title T [--timeout S] [--expect-size WxH] [--hold-ms N] [--then CMD]
//                       -- program [args]
//       Starts the program, waits until it shows a mapped window titled T, prints
//       "shown_ms=<ms from start> window=<id> width=<w> height=<h>", waits N ms, runs CMD
//       through the shell with the window id in $PROBE_WINDOW, asks the window to close
//       (WM_DELETE_WINDOW, as a close button would), waits for the program to end and
//       prints "exit=<status>". Exit codes: 0 fine, 2 no window in time, 3 the program
//       ended before showing one, 4 it did not end after the close request (then killed),
//       5 wrong size, 6 it ended with a failure status, 7 CMD failed.
//   window_probe wait --title T [--timeout S]    prints the same line for a running program
//   window_probe close --window ID               sends the close request to a window
//
// A window manager creates the atoms of the window protocols; a bare Xvfb has none,
// and a JUCE program that starts there never learns of WM_DELETE_WINDOW. The probe
// creates them before the program starts, as a desktop would.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

// Windows come and go while the tree is walked; their errors are expected.
int ignoreXError (Display*, XErrorEvent*)
{
    return 0;
}

struct Found
{
    Window window = 0;
    int width = 0, height = 0;
};

// The raw bytes of a text property of any type (JUCE writes WM_NAME as UTF8_STRING,
// which XFetchName does not return).
std::string textProperty (Display* display, Window window, Atom property)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::string text;

    if (XGetWindowProperty (display, window, property, 0, 1024, False, AnyPropertyType, &type, &format,
                            &count, &remaining, &data) == Success &&
        data != nullptr && format == 8)
        text.assign (reinterpret_cast<char*> (data), count);

    if (data != nullptr)
        XFree (data);

    return text;
}

std::string windowTitle (Display* display, Window window)
{
    auto title = textProperty (display, window, XInternAtom (display, "_NET_WM_NAME", False));
    return title.empty() ? textProperty (display, window, XA_WM_NAME) : title;
}

long windowPid (Display* display, Window window)
{
    const Atom netWmPid = XInternAtom (display, "_NET_WM_PID", True);
    if (netWmPid == None)
        return -1;

    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;

    if (XGetWindowProperty (display, window, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                            &remaining, &data) == Success &&
        data != nullptr && count == 1 && format == 32)
        pid = (long)*reinterpret_cast<unsigned long*> (data);

    if (data != nullptr)
        XFree (data);

    return pid;
}

// A viewable window with the title (and, when pid > 0, of that process) anywhere in the tree.
bool findWindow (Display* display, Window parent, const std::string& title, long pid, Found& found)
{
    Window root = 0, parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;

    if (!XQueryTree (display, parent, &root, &parentOut, &children, &count))
        return false;

    std::vector<Window> list (children, children + count);
    if (children != nullptr)
        XFree (children);

    for (auto window : list)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes (display, window, &attributes) && attributes.map_state == IsViewable &&
            windowTitle (display, window) == title)
        {
            const auto windowsPid = windowPid (display, window);
            if (pid <= 0 || windowsPid <= 0 || windowsPid == pid)
            {
                found = { window, attributes.width, attributes.height };
                return true;
            }
        }

        if (findWindow (display, window, title, pid, found))
            return true;
    }

    return false;
}

void sendClose (Display* display, Window window)
{
    XEvent event;
    std::memset (&event, 0, sizeof (event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom (display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent (display, window, False, NoEventMask, &event);
    XFlush (display);
}

void printFound (const Found& found, double shownMs)
{
    if (shownMs >= 0)
        std::printf ("shown_ms=%.1f ", shownMs);

    std::printf ("window=0x%lx width=%d height=%d\n", (unsigned long)found.window, found.width, found.height);
    std::fflush (stdout);
}

struct Options
{
    std::string mode, title;
    double timeoutSeconds = 30.0;
    int expectedWidth = 0, expectedHeight = 0;
    int holdMs = 0;
    std::string then;
    unsigned long window = 0;
    std::vector<char*> command;
};

bool parse (int argc, char** argv, Options& options)
{
    if (argc < 2)
        return false;

    options.mode = argv[1];

    for (int i = 2; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;

        if (arg == "--")
        {
            for (int j = i + 1; j < argc; ++j)
                options.command.push_back (argv[j]);
            break;
        }
        if (arg == "--title" && hasValue)
            options.title = argv[++i];
        else if (arg == "--timeout" && hasValue)
            options.timeoutSeconds = std::atof (argv[++i]);
        else if (arg == "--then" && hasValue)
            options.then = argv[++i];
        else if (arg == "--hold-ms" && hasValue)
            options.holdMs = std::atoi (argv[++i]);
        else if (arg == "--window" && hasValue)
            options.window = std::strtoul (argv[++i], nullptr, 0);
        else if (arg == "--expect-size" && hasValue)
        {
            if (std::sscanf (argv[++i], "%dx%d", &options.expectedWidth, &options.expectedHeight) != 2)
                return false;
        }
        else
            return false;
    }

    options.command.push_back (nullptr);
    return true;
}

// Waits for the process; true when it ended in time, with its status. The close request
// is repeated every second, to the window that then has the title, as a user would
// click again: a JUCE program reads its X connection only when the socket becomes
// readable, and an event that an earlier round trip pulled into Xlib's queue waits
// there until the next one arrives, which on a quiet Xvfb may be never.
bool waitForExit (Display* display, const std::string& title, pid_t child, double seconds, int& status)
{
    const auto deadline = Clock::now() + std::chrono::duration<double> (seconds);
    auto nextRequest = Clock::now() + std::chrono::seconds (1);

    while (Clock::now() < deadline)
    {
        if (waitpid (child, &status, WNOHANG) == child)
            return true;

        if (Clock::now() > nextRequest)
        {
            Found found;
            if (findWindow (display, DefaultRootWindow (display), title, child, found))
                sendClose (display, found.window);

            nextRequest = Clock::now() + std::chrono::seconds (1);
        }

        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    }

    return false;
}

int launch (Display* display, const Options& options)
{
    const auto start = Clock::now();
    const pid_t child = fork();

    if (child < 0)
        return 1;

    if (child == 0)
    {
        execvp (options.command[0], options.command.data());
        std::perror ("exec");
        _exit (127);
    }

    const auto deadline = start + std::chrono::duration<double> (options.timeoutSeconds);
    Found found;
    int status = 0;

    // A window of another size may be a toolkit's passing one; with an expected size
    // the probe waits for that size and reports a wrong one only at the end.
    const auto wanted = [&options] (const Found& f)
    {
        return options.expectedWidth == 0 ||
               (f.width == options.expectedWidth && f.height == options.expectedHeight);
    };
    Found lastSeen;

    while (!findWindow (display, DefaultRootWindow (display), options.title, child, found) || !wanted (found))
    {
        if (found.window != 0)
            lastSeen = found;

        if (waitpid (child, &status, WNOHANG) == child)
        {
            std::fprintf (stderr, "the program ended before showing its window\n");
            return 3;
        }

        if (Clock::now() > deadline)
        {
            kill (child, SIGKILL);
            waitpid (child, &status, 0);

            if (lastSeen.window != 0)
            {
                std::fprintf (stderr, "window is %dx%d, expected %dx%d\n", lastSeen.width, lastSeen.height,
                              options.expectedWidth, options.expectedHeight);
                return 5;
            }

            std::fprintf (stderr, "no window titled \"%s\" within %.0f s\n", options.title.c_str(),
                          options.timeoutSeconds);
            return 2;
        }

        found = {};

        std::this_thread::sleep_for (std::chrono::milliseconds (2));
    }

    const double shownMs = std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    printFound (found, shownMs);

    if (options.holdMs > 0)
        std::this_thread::sleep_for (std::chrono::milliseconds (options.holdMs));

    bool thenOk = true;
    if (!options.then.empty())
    {
        char id[32];
        std::snprintf (id, sizeof (id), "0x%lx", (unsigned long)found.window);
        setenv ("PROBE_WINDOW", id, 1);
        thenOk = std::system (options.then.c_str()) == 0;
    }

    sendClose (display, found.window);

    if (!waitForExit (display, options.title, child, 15.0, status))
    {
        std::fprintf (stderr, "the program did not end after the close request\n");
        kill (child, SIGKILL);
        waitpid (child, &status, 0);
        return 4;
    }

    const int exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
    std::printf ("exit=%d\n", exitStatus);

    if (exitStatus != 0)
        return 6;

    return thenOk ? 0 : 7;
}

int wait (Display* display, const Options& options)
{
    const auto deadline = Clock::now() + std::chrono::duration<double> (options.timeoutSeconds);
    Found found;

    while (!findWindow (display, DefaultRootWindow (display), options.title, -1, found))
    {
        if (Clock::now() > deadline)
            return 2;

        std::this_thread::sleep_for (std::chrono::milliseconds (10));
    }

    printFound (found, -1.0);
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    Options options;

    if (!parse (argc, argv, options) ||
        (options.mode != "launch" && options.mode != "wait" && options.mode != "close") ||
        (options.mode != "close" && options.title.empty()) ||
        (options.mode == "launch" && options.command.size() < 2) ||
        (options.mode == "close" && options.window == 0))
    {
        std::fprintf (stderr,
                      "usage: %s launch|wait|close --title T [--timeout S] [--expect-size WxH] "
                      "[--hold-ms N] [--window ID] [-- program args]\n",
                      argv[0]);
        return 1;
    }

    Display* display = XOpenDisplay (nullptr);

    if (display == nullptr)
    {
        std::fprintf (stderr, "cannot open the X display\n");
        return 1;
    }

    XSetErrorHandler (ignoreXError);

    for (auto name : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING", "WM_CHANGE_STATE",
                       "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN" })
        XInternAtom (display, name, False);

    XSync (display, False);
    int result = 0;

    if (options.mode == "launch")
        result = launch (display, options);
    else if (options.mode == "wait")
        result = wait (display, options);
    else
        sendClose (display, (Window)options.window);

    XCloseDisplay (display);
    return result;
}
