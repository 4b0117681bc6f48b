#pragma once
// QELRankModel: the "QELRank Handicap calculator" for one driver, from that
// driver's profile alone. The handicap of a column is the reference sum
// minus the driver's sum of best laps over the eleven QELRank tracks; the
// monster field adds the seven car columns. Times are in milliseconds,
// rounded to hundredths as the profile's texts are read.
//
// The season file decides which tracks are looked at (its events, in order,
// up to the first whose track.ini is missing); a track that the season holds
// twice counts once.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QELRankModel {
public:
    static constexpr int64_t kReferenceSum = 1520220;
    static constexpr int kCarCount = 7;
    static constexpr uint32_t kNoTime = 0xFFFFFFFF;
    // The eleven tracks of the rank, by track folder.
    static const std::array<const char*, 11>& Tracks();

    struct Result {
        // Overall, then Brabham, BRM, Cooper, Eagle, Ferrari, Lotus, Honda.
        std::array<std::string, 8> columns;
        std::string monster;  // "Monsters of QEL:"
    };

    explicit QELRankModel(std::string simulator_folder);

    // The driver list's entries ("1. Jim Clark"), read anew.
    const std::vector<std::string>& FillDriverList();
    // The result for the driver at index of the list filled last; nullopt
    // semantics are left to the caller: an index outside the list gives the
    // all-missing result.
    Result Calculate(int driver_index) const;

    // The handicap d (ms) as shown: the opposite sign, whole seconds (the
    // last three digits), "." and two digits of hundredths, then a blank:
    // 2220 gives "-2.22 ", 0 gives "0.00 ".
    static std::string FormatSignedTime(int64_t d);
    // A profile's best-lap text ("token seconds.fraction") in ms, rounded
    // to hundredths; a fraction shorter than two digits is read as if
    // padded with zeros on the right. kNoTime when it holds no time.
    static uint32_t ParseTimeText(const std::string& text);
    // "Missing " + n + " laptime(s)".
    static std::string MissingText(int n);

private:
    std::string simulator_folder_;
    std::vector<std::string> entries_;
    std::vector<std::string> profiles_;  // per entry, the profile path
};
