#include "records/new_qel_rank_model.h"

#include <cstdio>

#include "records/handicap_records.h"
#include "records/qel_rank_model.h"

const std::vector<NewQELRankModel::TrackSet>& NewQELRankModel::Sets() {
    static const std::vector<TrackSet> sets = {
        {"QELRank Handicap", 1520218,
         {"kyalami", "mexico", "monaco", "monza", "mosport", "nurburg", "rouen", "silver", "spa", "watglen", "zandvort"}},
        {"ChallangeRank Handicap", 1509644,
         {"snett67", "zeltweg", "brands", "road67", "solitude", "bugatti", "atorp", "goodwood", "bremgart", "usgp1960",
          "stjovite", "panorama"}},
        {"HistoricRank Handicap", 1043687,
         {"aintree", "roada", "imola", "reims", "bsarthe", "pau67", "crystal", "lime", "eastlndn", "keimola",
          "adelaide"}},
        {"MunchausenRank Handicap", 1540023,
         {"diamante", "thornham", "glacier", "sopheve", "ridge", "vanring", "campalto", "jim", "montrevo", "rrv",
          "waterloo", "jokimaa"}},
        {"QEL65Rank v1 Handicap (valid for 1965 season)", 1579581,
         {"charad70", "watglen", "silver", "monaco", "zandvort", "monza", "mexico", "spa", "nurburg", "eastlndn"}},
        {"QEL65Rank v2 Handicap (valid for 1965 season)", 1566252,
         {"clermont", "watglen", "silver", "monaco", "zandvort", "monza", "mexico", "spa", "nurburg", "eastlndn"}},
        {"QEL69Rank v1 Handicap", 1384050,
         {"watglen", "silver", "monaco", "zandvort", "monza", "mexico", "kyalami", "mosport", "nurburg", "clermont",
          "montjuic"}},
    };
    return sets;
}

void NewQELRankModel::FindTrackTime(const HandicapRecords& records, const std::string& directory, int car,
                                    int64_t& sum, int& count) {
    for (int row = 0; row < records.RowCount(); ++row) {
        if (records.TrackDirectory(row) != directory) continue;
        const uint32_t time = car < 0 ? records.RowBest(row) : records.CarBest(car, row);
        if (time != HandicapRecords::kNoTime) {
            sum += time;
            ++count;
        }
        return;
    }
}

std::string NewQELRankModel::FormatSignedTime(int64_t d) {
    const bool faster = d > 0;
    const uint32_t magnitude = static_cast<uint32_t>(faster ? d : -d) & 0xFFFFFF;
    char text[32];
    std::snprintf(text, sizeof text, "%s%u.%03u", faster ? "-" : "", magnitude / 1000 % 10000, magnitude % 1000);
    return text;
}

std::vector<NewQELRankModel::Group> NewQELRankModel::Calculate(const HandicapRecords& records) {
    std::vector<Group> groups;
    std::array<int64_t, 8> master_sum{};
    std::array<int, 8> master_count{};
    int64_t master_monster_sum = 0;
    int master_monster_count = 0;
    int master_tracks = 0;
    for (size_t s = 0; s < Sets().size(); ++s) {
        const TrackSet& set = Sets()[s];
        const int t = static_cast<int>(set.tracks.size());
        Group g;
        g.caption = set.caption;
        int64_t monster_sum = 0;
        int monster_count = 0;
        for (int column = 0; column <= kCarCount; ++column) {
            int64_t sum = 0;
            int count = 0;
            for (const char* track : set.tracks) FindTrackTime(records, track, column - 1, sum, count);
            const int64_t h = set.reference - sum;
            g.columns[static_cast<size_t>(column)] = count == t ? FormatSignedTime(h) : QELRankModel::MissingText(t - count);
            if (column > 0) {
                monster_sum += h;
                monster_count += count;
            }
            if (s < 4) {
                master_sum[static_cast<size_t>(column)] += h;
                master_count[static_cast<size_t>(column)] += count;
            }
        }
        g.monster = monster_count == kCarCount * t ? FormatSignedTime(monster_sum)
                                                    : QELRankModel::MissingText(kCarCount * t - monster_count);
        if (s < 4) {
            master_monster_sum += monster_sum;
            master_monster_count += monster_count;
            master_tracks += t;
        }
        groups.push_back(std::move(g));
    }
    Group master;
    master.caption = "Master of QEL Handicap";
    for (size_t c = 0; c < master.columns.size(); ++c)
        master.columns[c] = master_count[c] == master_tracks ? FormatSignedTime(master_sum[c])
                                                             : QELRankModel::MissingText(master_tracks - master_count[c]);
    master.monster = master_monster_count == kCarCount * master_tracks
                         ? FormatSignedTime(master_monster_sum)
                         : QELRankModel::MissingText(kCarCount * master_tracks - master_monster_count);
    groups.push_back(std::move(master));
    return groups;
}
