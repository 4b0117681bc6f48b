#pragma once
// The personal-best table the viewer keeps between runs, as four values
// under the current user's settings key: "PB_num" (track rows n), "PB_cars"
// (car columns c), "PB_tracks" (the n track short names) and "PB_times"
// (the n x c overall best times, row by row, 0xFFFFFFFF for none), the two
// lists as binary arrays in the framework's archive form.

#include <cstdint>
#include <string>
#include <vector>

class PersonalBestsStore {
public:
    // Bounds of the counts taken from the store: the table has 20 car
    // columns, and a season with its other tracks stays far below the rows.
    static constexpr uint32_t kMaxCars = 20;
    static constexpr uint32_t kMaxRows = 4096;

    struct Table {
        std::vector<std::string> tracks;  // n names
        std::vector<uint32_t> times;      // n x cars words
        int cars = 0;
    };

    // The stored table; false when "PB_cars" is absent (no table kept). The
    // lists have the sizes the stored counts give, bounded above: a list
    // value that is missing or does not parse leaves empty names and zero
    // times, and a longer list is cut.
    static bool Load(Table& table);
    // Stores the four values as one change: all four or none. False when
    // they could not be stored, with the CRegistry error in error (for
    // Settings::WriteFailureMessage).
    static bool Save(const Table& table, long& error);
};
