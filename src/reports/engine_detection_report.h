#pragma once
// The engine detection report (kind 7): tries to tell, for every driver of
// a replay, which make of engine his car really uses. One pass over every
// car record of the data section judges each car's engine-speed behaviour
// with four tests: A, the highest engine-speed code; B, the codes at which
// the driver changes up from third to fourth and fourth to fifth gear; C,
// the highest peak of the engine-speed curve; D, for the driver who saved
// the replay only, the rev limit from his own engine speed and rev fraction.
// Each test maps its figure to a make through a fixed threshold table.

#include <functional>
#include <string>

class Drivers;
class DriverSampleWindows;

class EngineDetectionReport {
public:
    using Progress = std::function<void(const std::string& piece)>;

    // Make indexes: 0 Brabham, 1 BRM, 2 Cooper, 3 Eagle, 4 Ferrari, 5 Lotus,
    // 6 Honda, 7 "can't be detected", 8 F2, 9 F3, 10 Honda or Ferrari.
    static constexpr int kCannotDetect = 7;
    // The make text of an index, padded to 9 characters; -1 and indexes
    // outside the table read as 7.
    static std::string MakeText(int make);

    // Threshold tables: the make index of a figure, or -1 above the last
    // bound. A figure of 0 gives 7.
    static int ClassifyByHighestCode(int code);
    static int ClassifyByShiftCodes(const DriverSampleWindows& third_to_fourth,
                                    const DriverSampleWindows& fourth_to_fifth, int channel);
    static int ClassifyByShiftFigure(int figure);
    static int ClassifyByPeakCode(int peak);
    // A ratio that is not a number counts as 0.
    static int ClassifyByRevLimit(double ratio);

    // Scans the replay of the driver table and returns the whole report
    // text; progress gets every piece as it is appended. A replay that
    // cannot be opened ends the text with "Error opening file!"; a data
    // section that cannot be walked to its end ends it with a damage notice
    // and no results.
    static std::string Write(const Drivers& drivers, const Progress& progress = {});
};
