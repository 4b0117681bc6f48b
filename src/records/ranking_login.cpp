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

bool RankingLogin::Store(const std::string& user, const std::string& password, bool remember) {
    CRegistry registry(RegistryHive::kCurrentUser);
    if (!remember) {
        if (!registry.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey)) return true;
        bool ok = true;
        if (registry.ValueExists("QELRank_User")) ok = registry.DeleteValue("QELRank_User");
        if (registry.ValueExists("QELRank_PW")) ok = registry.DeleteValue("QELRank_PW") && ok;
        return ok;
    }
    if (!registry.CreateKey(RegistryHive::kCurrentUser, Settings::kSettingsKey)) return false;
    const bool ok = registry.WriteString("QELRank_User", user);
    return registry.WriteString("QELRank_PW", password) && ok;
}
