#pragma once
// The application's profile in the settings store, under
// Software\Ostrevan\Ostrevan: the main window's placement (section "Frame")
// and the list of the seven most recently opened replays (section "Recent
// File List", values "File1" to "File7", newest first).

#include <array>
#include <optional>
#include <string>
#include <vector>

class AppProfile {
public:
    static constexpr const char* kProfileKey = "Software\\Ostrevan\\Ostrevan";
    static constexpr size_t kRecentFiles = 7;

    // The restored (normal) window rectangle and how the window was shown,
    // in work-area coordinates.
    struct Placement {
        int status = 0;  // 1 normal, 2 minimised, 3 maximised
        int top = 0, left = 0, bottom = 0, right = 0;
    };
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // nullopt when any of the five values is missing or -1.
    static std::optional<Placement> ReadPlacement();
    // False when the store could not be written. True without writing when
    // the settings file could not be read at start: it is left alone all
    // run (the same holds for the recent files). The values go in under
    // one lock on the settings file, so that of windows closing at once
    // one window's placement stands whole (the same holds for the list).
    static bool WritePlacement(const Placement& placement);
    // Where a stored placement opens. The stored numbers may be anything a
    // file holds: each coordinate is bounded to +-kMaxCoordinate and the
    // size to what all the screens together hold (kMaxCoordinate without
    // screens), and to 0 at least, first. The rectangle is then moved by the
    // work area's corner. Its title bar, taken as the band of an icon's
    // height above it, must show on one of the screens (primary first): an
    // icon's width of it, and its lower half at least. When it does not,
    // the window moves the shortest way that shows it; ties go to the
    // earlier screen. So a placement saved on a larger screen is
    // pulled back an icon's size inside the right and bottom edges, one on
    // a screen that is gone comes back onto the nearest screen, and one
    // partly off the screens stays where it was. Without screens only the
    // bounds apply.
    static constexpr int kMaxCoordinate = 32767;
    static Rect PlaceOnScreen(const Placement& placement, const Rect& work_area, const std::vector<Rect>& screens,
                              int icon_width, int icon_height);

    static std::vector<std::string> ReadRecentFiles();
    static bool WriteRecentFiles(const std::vector<std::string>& files);
    // The list with path added at the top: an earlier entry of the same
    // path moves up, and at most seven stay.
    static std::vector<std::string> AddRecentFile(std::vector<std::string> files, const std::string& path);
};
