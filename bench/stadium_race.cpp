#include "stadium_race.h"

#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "track/track.h"

namespace bench {

std::filesystem::path WriteStadiumRace(const std::filesystem::path& sim, const StadiumRace& race) {
    namespace fs = std::filesystem;
    const fs::path replay = sim / "replay" / race.file;
    if (fs::exists(replay)) return sim;
    fs::create_directories(sim / "replay");
    fs::create_directories(sim / "tracks" / "monza");
    fixture::WriteFile(sim / "qel.exe", "MZ");
    fixture::WriteFile(sim / "tracks" / "monza" / "monza.trk", fixture::BuildTrackBlock(fixture::StadiumCircuit()));
    const auto track = Track::Load(sim, "monza");
    fixture::RacePlan plan;
    plan.lap_length_m = track->GetLength();
    track->Clear();
    plan.practice = false;
    plan.race_code = 2;
    plan.filler_bytes = 16;
    constexpr int kCars = 20;
    for (int c = 0; c < kCars; ++c) {
        fixture::CarPlan car;
        car.driver.first_name = "Driver" + std::to_string(c);
        car.driver.last_name = "Bench";
        car.driver.slot = static_cast<uint32_t>((c * 7) % kCars);
        car.driver.engine_index = static_cast<uint32_t>(c % 7);
        car.race_lead_m = 20.0 + c * 8.0;
        for (int k = 0; k <= race.laps; ++k) car.race_speeds.push_back(race.speed_mps + (c % 5) * 0.2 + (k % 3) * 0.3);
        plan.cars.push_back(car);
    }
    plan.status = race.status;
    const fixture::RaceGenerator gen(plan);
    fixture::ReplaySpec spec = gen.Spec();
    spec.track = "monza";
    fixture::WriteFile(replay, fixture::BuildReplay(spec));
    return sim;
}

}  // namespace bench
