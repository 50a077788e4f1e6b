// Waiting off the GUI thread, or in a process without one, for a condition nobody announces: it is
// looked at again after each short pause, never past the bound (milliseconds).
#pragma once

#include <functional>
#include <thread>  // brings the clocks; <chrono> itself does not build with GBK literals

inline bool PollUntil(const std::function<bool()>& pred, unsigned nTimeoutMs = 10000, unsigned nPauseMs = 10)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;)
    {
        if (pred())
            return true;
        if (std::chrono::steady_clock::now() >= limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(nPauseMs));
    }
}
