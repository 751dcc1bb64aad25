#pragma once

// The state of the keyboard's lock keys, as the window system reports it.
struct LockKeyState
{
    bool known = false; // false where the window system cannot tell
    bool num = false;
    bool caps = false;
    bool scroll = false;
};

LockKeyState readLockKeys();
