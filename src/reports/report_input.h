#pragma once
// What a text report of one replay is written from. Everything is borrowed
// for the duration of one writer call.

#include <string>

class Drivers;
class Header;
struct CarStatusTable;

struct ReportInput {
    const Header* header = nullptr;
    const Drivers* drivers = nullptr;
    // Last-write time of the replay file, in the 24-character form of
    // report_text::FormatFileTime.
    std::string file_time;
    // The setting OffTheTrackInRaceReport: the lap by lap report tells who
    // went off the track only when it is set.
    bool off_track_in_race_report = true;
    // The setting RetireInRaceReport: the race results show the official
    // retirement reason of each car from the mechanical scan's status
    // table (car_status; without a scan the column stays empty).
    bool retire_in_race_report = false;
    const CarStatusTable* car_status = nullptr;
};
