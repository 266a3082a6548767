#include "app/x11_lock_state.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

namespace {

bool indicatorOn(Display* display, const char* name, bool* on)
{
    const Atom atom = XInternAtom(display, name, True);
    if (atom == 0) {
        *on = false; // no indicator of that name: the key is not on
        return true;
    }
    int index = 0;
    Bool lit = False;
    if (!XkbGetNamedIndicator(display, atom, &index, &lit, nullptr, nullptr)) {
        *on = false;
        return true;
    }
    *on = lit != False;
    return true;
}

} // namespace

bool readX11LockState(_XDisplay* display, LockKeyState* state)
{
    if (!display) return false;
    int opcode = 0, event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) return false;
    return indicatorOn(display, "Caps Lock", &state->capsLock) && indicatorOn(display, "Num Lock", &state->numLock) &&
           indicatorOn(display, "Scroll Lock", &state->scrollLock);
}
