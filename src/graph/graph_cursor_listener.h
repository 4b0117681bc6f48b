#pragma once
// The host that follows the graph cursor (the telemetry graph window):
// told every cursor position while the panel shows coordinates, it
// answers with text that the coordinate tooltip appends (may be empty).

#include <string>

class GraphCursorListener {
public:
    virtual ~GraphCursorListener() = default;
    virtual std::string FormatCursorInfo(double x, double y) = 0;
};
