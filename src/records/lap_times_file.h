#pragma once
// The lap-times file: a driver's best laps per track and car in the ini-like
// form the ranking service reads. CR LF line ends:
//
//   season = qel67
//   [ monaco ]
//   braT = 482917036 95.25
//   braR = 482917036 83.
//
// then an empty line. One section per track row that has at least one time,
// in row order; within it, per car of the season in column order, the keys
// <tag>T (training), <tag>P (practice) and <tag>R (race) for the times the
// row holds. A value is the fixed token 482917036, a blank and the seconds
// with ten significant digits, trailing zeros dropped and the point kept.
//
// The text is built whole and written as it stands, so track names holding
// "[", "]" or "=" reach the file unchanged.

#include <cstdint>
#include <string>
#include <vector>

#include "records/best_lap_cell.h"

class ExportRecordsModel;

class LapTimesFile {
public:
    struct Row {
        std::string directory;         // track folder name
        std::vector<BestLapCell> cells;  // one per car column
    };

    // season_code selects the car tags and the folder name of the first line.
    LapTimesFile(int season_code, std::vector<Row> rows);
    // The grid the model's last run gathered.
    explicit LapTimesFile(const ExportRecordsModel& model);
    virtual ~LapTimesFile();

    // The whole file's bytes.
    std::string Text() const;
    // Replaces the file at path with Text() (temporary file, then rename).
    // False when it cannot be written; an earlier file is then untouched.
    bool Write(const std::string& path) const;

    // Milliseconds as the file's seconds: 83123 gives "83.123", 83000 "83.".
    static std::string FormatSeconds(uint32_t ms);
    // path with ".ini" appended unless its last four characters are ".ini"
    // in any case: "x.INI" stays, "x.txt" becomes "x.txt.ini".
    static std::string WithIniExtension(const std::string& path);

private:
    int season_code_;
    std::vector<Row> rows_;
};
