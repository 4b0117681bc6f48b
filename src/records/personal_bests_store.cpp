#include "records/personal_bests_store.h"

#include <algorithm>

#include "settings/registry.h"
#include "settings/settings.h"

bool PersonalBestsStore::Load(Table& table) {
    CRegistry registry(RegistryHive::kCurrentUser);
    if (!registry.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey) || !registry.ValueExists("PB_cars"))
        return false;
    uint32_t rows = 0;
    uint32_t cars = 0;
    registry.ReadDword("PB_num", rows);
    registry.ReadDword("PB_cars", cars);
    // Counts from the store are bounded before they size anything.
    rows = std::min(rows, kMaxRows);
    cars = std::min(cars, kMaxCars);
    table.tracks.assign(rows, std::string());
    registry.ReadStringArray("PB_tracks", table.tracks);
    table.cars = static_cast<int>(cars);
    table.times.assign(static_cast<size_t>(rows) * cars, 0);
    registry.ReadDWordArray("PB_times", table.times);
    return true;
}

bool PersonalBestsStore::Save(const Table& table, long& error) {
    // The four values describe one table: they are one change, so two runs
    // saving at once leave one run's table, never rows of both.
    CRegistry::Batch batch(RegistryHive::kCurrentUser, Settings::kSettingsKey);
    batch.WriteDword("PB_num", static_cast<uint32_t>(table.tracks.size()));
    batch.WriteStringArray("PB_tracks", table.tracks);
    batch.WriteDWordArray("PB_times", table.times);
    batch.WriteDword("PB_cars", static_cast<uint32_t>(table.cars));
    const bool stored = batch.Commit();
    error = batch.LastError();
    return stored;
}
