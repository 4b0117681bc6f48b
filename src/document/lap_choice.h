#pragma once
// One lap of one driver of a replay, as the lap-choice dialog hands it to
// the document: driver index in record order, session (0 practice, 1 race)
// and lap number (1 = first lap; the entry of the session's lap table).

struct LapChoice {
    int driver = 0;
    int session = 0;
    int lap = 0;
    bool operator==(const LapChoice&) const = default;
};
