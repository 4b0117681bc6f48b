#include "reports/ui/chart_export.h"

#include <cctype>

#include "document/rpy_graph_doc.h"
#include "controls/dib_section_lite.h"
#include "interaction/interaction.h"
#include "replay/header.h"
#include "settings/path_lookup.h"

namespace chart_export {

std::string TrackNameText(const CRpyGraphDoc* doc, const Header* header) {
    std::string name;
    if (doc && doc->GetLoadedCount() > 0)
        name = doc->GetTitle();
    else if (header)
        name = header->track_folder;
    if (!name.empty()) name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
}

std::optional<std::string> ChoosePath(Interaction& ui, const CRpyGraphDoc* doc, const Header* header,
                                      const std::string& suffix) {
    std::string folder;
    if (doc) {
        const auto replay = path_lookup::Find(doc->GetQELDirectory(), "replay");
        if (replay) folder = replay->string() + "/";
    }
    // The settings are not read again here: nothing the charts draw
    // depends on them, and a reload could open the settings dialog.
    auto chosen = ui.ChooseSaveFile("Export to BMP", folder + TrackNameText(doc, header) + suffix,
                                    {{"Bitmap files", "*.bmp"}, {"All Files", "*.*"}});
    if (!chosen) return std::nullopt;
    std::string path = *chosen;
    if (!path_lookup::EqualsNoCase(path.size() >= 4 ? path.substr(path.size() - 4) : path, ".bmp")) path += ".bmp";
    return path;
}

bool Save(Interaction& ui, const CDIBSectionLite& image, const std::string& path) {
    if (image.SaveBmp(path)) return true;
    ui.ShowMessage(std::string("The bitmap could not be written to\n") + path, Interaction::Icon::Error);
    return false;
}

}  // namespace chart_export
