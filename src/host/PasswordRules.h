// When the saver itself asks for the screen-saver password: only on the
// Windows 9x family, and not again within a short pause after a refusal.
#pragma once

#include <cstdint>

// What GetVersionExA reported: Windows 9x is platform 1
// (VER_PLATFORM_WIN32_WINDOWS); a failed call means not 9x.
bool IsWindows9xPlatform(bool versionKnown, uint32_t platformId);

// Tick count of the last check before any has ended.
constexpr uint32_t neverVerified = 0xFFFFFFFFu;
// After a check ends, a new one waits this long (ms), so that close requests
// queued while the password dialog was up do not bring it straight back.
constexpr uint32_t passwordRetryPause = 200;

// True while a new check must wait. Tick counts wrap after 49.7 days; the
// difference is taken modulo 2^32.
bool InRetryPause(uint32_t lastVerifyTime, uint32_t now);
