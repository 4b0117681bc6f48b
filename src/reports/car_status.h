#pragma once
// The car status table of the mechanical scan: per car slot (0 to 19) the
// last 16-byte status record seen for that car since race data was found.
// Byte 13 is the official retirement code (0 = not retired). The race
// results report reads it for its "Problem" column.

#include <array>
#include <cstdint>
#include <string>

struct CarStatusTable {
    static constexpr int kSlots = 20;
    static constexpr int kBytes = 16;
    static constexpr int kRetirementByte = 13;

    std::array<std::array<uint8_t, kBytes>, kSlots> cars{};

    void Clear() { cars = {}; }
    uint8_t RetirementCode(uint32_t slot) const { return slot < kSlots ? cars[slot][kRetirementByte] : 0; }
};

// The official reason of a retirement code, as the simulator reports it:
// the long form ("Fuel Injection", or the "Unknown! ..." request with the
// code for a code missing from the table) or the short form of the race
// results report's problem column ("Fuel Injec", "Unknown").
std::string RetirementReason(int code, bool short_form);

// "Official retirement reason is: " followed by the reason.
std::string GetRetirementReasonText(int code, bool short_form);
