#pragma once
// The lock keys of the keyboard as the X server's indicators show them.
// Kept apart from the Qt code: the X headers define names Qt also uses.

struct _XDisplay;

struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

// Reads the named indicators "Caps Lock", "Num Lock" and "Scroll Lock" of
// the core keyboard; false when the server has no keyboard extension.
bool readX11LockState(_XDisplay* display, LockKeyState* state);
