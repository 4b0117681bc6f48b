#pragma once
// The model of one circuit, read from the simulator's track file: the lap
// length, the lateral traces, and the sections (Straight and Curve) laid
// end to end around the lap, with the start/finish line, three split lines
// and a highlighted stretch of the lap. Lengths and distances are metres;
// distances along the lap run from 0 at the start/finish line to the lap
// length, the sum of the sections' computed lengths (not the length the
// file states).
//
// A track file is either a bare track block (it starts with "KART") or a
// container whose directory names its entries; the block is then the entry
// named after the file's base name with ".trk", whatever the file's own
// extension.
//
// Reading is all or nothing: the constructor throws ZAVROException, and
// the owner goes on without a track. Afterwards only the split lines (set
// once by ComputeSplitLines) and the highlight change.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "track/split_line.h"

class CoreDisplay;
class FileHandle;
class Section;
class SectionVisitor;

class Track {
public:
    // Upper bounds on what one block may make the reader build, far above
    // any circuit (a few thousand traces and points): trace records summed
    // over all sections, and outline and surface points together.
    static constexpr uint64_t kMaxSectionTraces = uint64_t{1} << 20;
    // The largest block read, far above any circuit's (a few hundred KB): a
    // larger one, or a file taken whole as one, is refused before a byte of
    // it is read, so a sparse file claiming gigabytes costs nothing.
    static constexpr uint64_t kMaxBlockBytes = uint64_t{64} << 20;
    static constexpr double kMaxGeometryPoints = 4194304.0;

    // Reads the track at path (a file name with an extension, .trk or
    // .dat). Throws ZAVROException with the path, " ; " and the failed
    // condition, or "Unknown section type with value " and the type's low
    // byte. On success everything but the split lines is built.
    explicit Track(const std::string& path);
    ~Track();
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;

    // The track of a replay in the simulator's folder (a stored path, mapped
    // by path_lookup::ToLocalPath): tracks/<name>/<name> with ".trk", else
    // with ".dat", every component found without regard to case, with its
    // split lines computed. nullptr when neither file builds, when the
    // folder leads nowhere, or when the name is empty or not a single folder
    // name.
    static std::unique_ptr<Track> Load(const std::filesystem::path& simulator_folder, const std::string& track_name);

    // Deletes every section and empties the process-wide outline and
    // surface boxes, so that the next track starts them afresh. The owner
    // calls it before it discards the track.
    void Clear();

    // Looks `datfilename` up in an open track container: the first entry
    // whose name, lower-cased, equals it. Fills the entry's data offset and
    // size (not checked against the file) and returns true; false when no
    // entry matches or the directory does not lie inside the file.
    static bool getTrkfileInfo(FileHandle& file, const std::string& datfilename, uint32_t& offset, uint32_t& size);

    uint32_t GetSectionCount() const { return static_cast<uint32_t>(sections_.size()); }
    uint32_t GetTraceCount() const { return trace_count_; }
    // Per-trace value i in track units; 0 beyond the trace count.
    int32_t GetTraceValue(uint32_t i) const { return i < trace_values_.size() ? trace_values_[i] : 0; }
    double GetStatedLength() const { return stated_length_; }
    double GetLength() const { return length_; }

    // Index of the first section whose end along the lap is greater than
    // the distance: 0 for a negative distance, -1 at or beyond the lap
    // length.
    int findSection(double distance) const;
    // Throws ZAVROException "sectionIndex >= _sectionList.size()" when the
    // index is out of range (a -1 converts to a huge index and throws too).
    const Section& GetSection(size_t sectionIndex) const;
    Section& GetSection(size_t sectionIndex);

    // Every section in lap order.
    void Accept(SectionVisitor& visitor) const;

    // The start/finish line and the split lines at 1/4, 1/2 and 3/4 of the
    // lap length.
    void ComputeSplitLines();
    void DrawSplitLines(CoreDisplay& painter) const;

    // Clears every section's highlight.
    void ClearHighlight();
    // Highlights the lap from `from` to `to` (metres), replacing the
    // previous range. The range never wraps: before 0 it starts at the
    // first section, beyond the lap length it ends at the last. A range
    // that starts at or beyond the lap length, or ends before 0, highlights
    // nothing. Throws ZAVROException "ERROR! last < first" when `to` lies
    // in a section before `from`'s; the previous range is cleared first in
    // every case and the track stays usable.
    void SetHighlightRange(double from, double to);
    // Highlights distance -/+ percent % of the lap length.
    void HighlightAround(double distance, unsigned percent);

    // Every surface polygon of every section, in lap order.
    void DrawSurfaces(CoreDisplay& painter) const;
    // Every section's outline, plain or highlighted.
    void DrawSections(CoreDisplay& painter) const;

private:
    void Read(const std::string& path, const std::vector<uint8_t>& bytes);
    void CheckGeometryBudget(const std::string& path) const;

    double stated_length_ = 0.0;
    double length_ = 0.0;
    uint32_t trace_count_ = 0;
    std::array<int32_t, 16> trace_values_{};
    std::vector<std::unique_ptr<Section>> sections_;
    std::array<SplitLine, 4> split_lines_;
    // The remembered highlight range; last < first when it is empty.
    int first_highlight_ = 0;
    int last_highlight_ = -1;
    // True when the sections' end distances never decrease, so a binary
    // search finds the same section as a walk from the first.
    bool ends_sorted_ = true;
};
