// Wait: every wait of the suite is a poll with a deadline, so a launcher that hangs fails a
// test instead of stalling the run.
#pragma once

#include <windows.h>

#include <chrono>

namespace zolv::e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Long enough for a cold Wine process start; a healthy run needs a fraction of it.
inline constexpr std::chrono::milliseconds kPatience = 15s;

// Polls `condition` every `interval` until it holds (true) or `timeout` passes (false).
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kPatience,
               std::chrono::milliseconds interval = 20ms) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (condition())
      return true;
    if (Clock::now() >= deadline)
      return false;
    Sleep(static_cast<DWORD>(interval.count()));
  }
}

}  // namespace zolv::e2e
