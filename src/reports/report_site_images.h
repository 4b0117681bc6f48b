#pragma once
// The three pictures of a report site as the site writer asks for them:
// whoever can draw (the program's windows, offscreen in the unattended
// mode) makes each an uncompressed BMP, into memory when the writer gives
// bytes and the drawer can, else as a file at the path given; the writer
// turns it into a PNG image and deletes any BMP file.

#include <string>

class ReportSiteImages {
public:
    enum class Result {
        kWritten,  // the BMP is at the path
        kFailed,   // it could not be drawn or written
        kNoTrack,  // track map only: no track is loaded, so there is no map
                   // (the caller has said so already); not a failure
    };

    virtual ~ReportSiteImages() = default;
    // True when every picture can be drawn into memory: the writer then
    // draws them while the pages are being written.
    virtual bool DrawsIntoMemory() const { return false; }
    // The graphical race report of the replay. When bytes is given and
    // filled, the BMP file's bytes are there and no file was written.
    virtual Result SaveRaceGraphics(const std::string& bmp_path, std::string* bytes) = 0;
    // The race history graph of the replay.
    virtual Result SaveRaceHistory(const std::string& bmp_path, std::string* bytes) = 0;
    // The track map, edge x edge pixels.
    virtual Result SaveTrackMap(const std::string& bmp_path, int edge, std::string* bytes) = 0;
};
