#include "host/PasswordRules.h"

bool IsWindows9xPlatform(bool versionKnown, uint32_t platformId) { return versionKnown && platformId == 1; }

bool InRetryPause(uint32_t lastVerifyTime, uint32_t now) {
    return lastVerifyTime != neverVerified && now - lastVerifyTime < passwordRetryPause;
}
