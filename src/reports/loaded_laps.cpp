#include "reports/loaded_laps.h"

#include "replay/drivers.h"

uint32_t LoadedLap::LapWord() const {
    if (!drivers || driver < 0 || driver >= Drivers::kMaxDrivers || lap < 0 || lap >= Drivers::kTableWords) return 0;
    return session == 0 ? drivers->practice_times[driver][lap] : drivers->race_times[driver][lap];
}

std::string LoadedLap::FirstName() const {
    return drivers && driver >= 0 && driver < Drivers::kMaxDrivers ? drivers->first_names[driver] : std::string();
}

std::string LoadedLap::LastName() const {
    return drivers && driver >= 0 && driver < Drivers::kMaxDrivers ? drivers->last_names[driver] : std::string();
}
