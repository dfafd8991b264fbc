#include "XWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

namespace {

// Other tests open and close windows on the same display at the same time; a
// window gone between listing and asking is no reason to end the test.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

long windowPid(Display* display, Window window, Atom pidAtom) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &remaining, &data) == Success &&
        data && count == 1 && format == 32) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data) {
        XFree(data);
    }
    return pid;
}

bool isViewable(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

Window findWindowOf(Display* display, pid_t pid) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            if (windowPid(display, children[i], pidAtom) == pid && isViewable(display, children[i])) {
                found = children[i];
            }
        }
        XFree(children);
    }
    return found;
}

// The window library drops a key press whose time is not later than the last press
// of that key, so every event gets a time of its own, always increasing.
Time nextEventTime() {
    static Time last = 0;
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    last = std::max(last + 1, static_cast<Time>(now.count()));
    return last;
}

bool sendKey(Display* display, Window window, KeyCode keycode, bool press) {
    XEvent event{};
    event.xkey.type = press ? KeyPress : KeyRelease;
    event.xkey.display = display;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.time = nextEventTime();
    event.xkey.keycode = keycode;
    event.xkey.same_screen = True;
    return XSendEvent(display, window, True, press ? KeyPressMask : KeyReleaseMask, &event) != 0;
}

} // namespace

namespace XWindows {

unsigned long waitForWindowOf(pid_t pid, int timeoutMilliseconds) {
    XSetErrorHandler(ignoreError);
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        return 0;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (const Window window = findWindowOf(display.get(), pid)) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

std::string title(unsigned long window) {
    XSetErrorHandler(ignoreError);
    const DisplayHandle display(XOpenDisplay(nullptr));
    char* name = nullptr;
    std::string result;
    if (display && XFetchName(display.get(), window, &name) && name) {
        result = name;
        XFree(name);
    }
    return result;
}

bool requestClose(unsigned long window) {
    XSetErrorHandler(ignoreError);
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display.get(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display.get(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display.get(), window, False, NoEventMask, &event) != 0;
    XFlush(display.get());
    return sent;
}

bool typeKeys(unsigned long window, const std::string& keys) {
    XSetErrorHandler(ignoreError);
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        return false;
    }
    std::istringstream names(keys);
    std::string name;
    bool sent = true;
    while (names >> name) {
        const KeySym symbol = XStringToKeysym(name.c_str());
        const KeyCode keycode = symbol == NoSymbol ? 0 : XKeysymToKeycode(display.get(), symbol);
        sent = keycode != 0 && sendKey(display.get(), window, keycode, true) &&
               sendKey(display.get(), window, keycode, false) && sent;
    }
    XFlush(display.get());
    return sent;
}

} // namespace XWindows
