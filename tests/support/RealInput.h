// Real pointer and keyboard input through the X server (xdotool), and a bounded wait for what it
// should bring about instead of a fixed sleep.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>
#include "GuiWait.h"

// Runs "xdotool <args>" (bounded by 10 s); false when xdotool failed.
inline bool Xdo(const std::string& args)
{
    std::string cmd = "timeout 10 xdotool " + args + " >/dev/null 2>&1";
    return system(cmd.c_str()) == 0;
}

// Sends the input, then waits until done holds (milliseconds). A program of another test may take
// the keyboard or pointer in between: the input is sent again up to nTries times, reset() running
// before each try. False when the effect never came.
inline bool XdoUntil(const std::string& args, const std::function<bool()>& done, DWORD dwTimeout = 2000,
                     int nTries = 1, const std::function<void()>& reset = [] {})
{
    for (int i = 0; i < nTries; ++i)
    {
        reset();
        if (Xdo(args) && WaitFor(done, dwTimeout))
            return true;
    }
    return false;
}

// Moves the pointer to the screen point and clicks the button there.
inline bool XdoClickAt(int x, int y, int nButton = 1)
{
    return Xdo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " + std::to_string(nButton));
}
