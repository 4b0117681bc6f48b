#pragma once
// The ranking service's login kept in the current user's settings store
// ("QELRank_User", "QELRank_PW" under the settings key, plain text; the
// store's file is readable by the user alone). It is written only when the
// user asks to keep it.

#include <string>

class RankingLogin {
public:
    // The kept login; false when none is kept.
    static bool Load(std::string& user, std::string& password);
    // remember: keeps both texts. Otherwise removes a login kept earlier
    // and writes nothing. Both values change as one: false when they could
    // not (neither did), with the CRegistry error in error (for
    // Settings::WriteFailureMessage).
    static bool Store(const std::string& user, const std::string& password, bool remember, long& error);
};
