#include "records/ranking_login.h"

#include "settings/registry.h"
#include "settings/settings.h"

bool RankingLogin::Load(std::string& user, std::string& password) {
    CRegistry registry(RegistryHive::kCurrentUser);
    if (!registry.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey) || !registry.ValueExists("QELRank_User"))
        return false;
    registry.ReadString("QELRank_User", user);
    registry.ReadString("QELRank_PW", password);
    return true;
}

bool RankingLogin::Store(const std::string& user, const std::string& password, bool remember, long& error) {
    // The two values are one login: both are stored (or removed), or neither.
    CRegistry::Batch batch(RegistryHive::kCurrentUser, Settings::kSettingsKey);
    if (remember) {
        batch.WriteString("QELRank_User", user);
        batch.WriteString("QELRank_PW", password);
    } else {
        batch.DeleteValue("QELRank_User");
        batch.DeleteValue("QELRank_PW");
    }
    const bool stored = batch.Commit();
    error = batch.LastError();
    return stored;
}
