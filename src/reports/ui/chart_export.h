#pragma once
// The "Export to BMP" of the two race charts: a save chooser starting in
// the simulator's replay folder with the track's name and a suffix as the
// proposed name, ".bmp" appended to a chosen name that does not already
// end in it (in any case), and the write with its failure reported.

#include <optional>
#include <string>

class CDIBSectionLite;
class CRpyGraphDoc;
class Header;
class Interaction;

namespace chart_export {

// The document's track name when it holds laps, else the replay's track
// name, each with its first character upper-cased.
std::string TrackNameText(const CRpyGraphDoc* doc, const Header* header);

// The chosen path with ".bmp" ensured, or nullopt when the user cancels.
std::optional<std::string> ChoosePath(Interaction& ui, const CRpyGraphDoc* doc, const Header* header,
                                      const std::string& suffix);

// Writes the image; says so when it cannot. True when written.
bool Save(Interaction& ui, const CDIBSectionLite& image, const std::string& path);

}  // namespace chart_export
