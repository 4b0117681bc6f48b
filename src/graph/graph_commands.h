#pragma once
// The graph component's popup-menu commands: one table of ids and texts
// that the windows of the component build their menus from.

namespace graph_command {

inline constexpr int kPointMarks = 4097;
inline constexpr int kNoLines = 4098;
inline constexpr int kCoordinates = 4099;
inline constexpr int kAxisGrid = 4100;
inline constexpr int kZoomTool = 4101;
inline constexpr int kZoomApply = 4102;
inline constexpr int kFitWidth = 4103;
inline constexpr int kFitHeight = 4104;
inline constexpr int kFitPage = 4105;
inline constexpr int kPointsBar = 4106;
inline constexpr int kProperties = 4107;

// Ids 4097 to 4107 belong to the component; others pass it by.
inline constexpr bool IsGraphCommand(int id) { return id > 4096 && id < 4108; }

struct Entry {
    int id;
    const char* text;  // "" for commands no menu offers
};

inline constexpr Entry kTable[] = {
    {kPointMarks, "Point marks"},
    {kNoLines, ""},
    {kCoordinates, "Show coordinates and highlight track"},
    {kAxisGrid, "Axis"},
    {kZoomTool, "Zoom tool"},
    {kZoomApply, "Apply"},
    {kFitWidth, "Width"},
    {kFitHeight, "Height"},
    {kFitPage, "Page"},
    {kPointsBar, "Points"},
    {kProperties, "Properties"},
};

// The menu text of a command; "" for an unknown id.
constexpr const char* Text(int id) {
    for (const Entry& e : kTable)
        if (e.id == id) return e.text;
    return "";
}

}  // namespace graph_command
