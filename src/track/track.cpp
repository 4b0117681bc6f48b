#include "track/track.h"

#include <algorithm>

#include "replay/byte_reader.h"
#include "settings/path_lookup.h"
#include "track/core_display.h"
#include "track/curve.h"
#include "track/file_handle.h"
#include "track/section.h"
#include "track/track_block.h"
#include "track/zavro_exception.h"

namespace {

constexpr uint64_t kEntrySize = 27;
constexpr uint64_t kDirectoryStart = 2;
constexpr size_t kEntrySizeField = 2;
constexpr size_t kEntryNameField = 10;
constexpr size_t kEntryNameBytes = 14;
constexpr size_t kEntryOffsetField = 23;

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The lower-cased file name cut at its first '.'. Paths come from Windows
// settings as often as from this system, so both separators split them.
std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string name = LowerAscii(slash == std::string::npos ? path : path.substr(slash + 1));
    const size_t dot = name.find('.');
    if (dot == std::string::npos) throw ZAVROException(path + " ; filename lacks extension of trk or dat");
    return name.substr(0, dot);
}

}  // namespace

Track::Track(const std::string& path) {
    const std::string base = BaseName(path);

    FileHandle file(path, "rb");
    if (file.IsNull()) throw ZAVROException(path + " ; _qelFile == NULL");
    uint64_t file_size = 0;
    if (!file.Size(file_size)) throw ZAVROException(path + " ; short read");

    std::vector<uint8_t> bytes;
    uint64_t block_offset = 0;
    uint64_t block_size = file_size;
    const bool bare = file.ReadAt(0, 4, bytes) && ByteReader(bytes.data(), bytes.size()).U32() == TrackBlock::kMagic;
    if (!bare) {
        // A container holds the track of both file forms under the .trk
        // name, also when the file opened is the .dat one.
        if (!file.ReadAt(0, kDirectoryStart, bytes) ||
            kDirectoryStart + ByteReader(bytes.data(), bytes.size()).U16() * kEntrySize > file_size) {
            throw ZAVROException(path + " ; container directory beyond the end of the file");
        }
        uint32_t offset = 0;
        uint32_t size = 0;
        if (!getTrkfileInfo(file, base + ".trk", offset, size)) {
            throw ZAVROException(path + " ; !getTrkfileInfo(_qelFile, datfilename, offset, _fileSize)");
        }
        if (offset > file_size || size > file_size - offset) {
            throw ZAVROException(path + " ; container entry beyond the end of the file");
        }
        block_offset = offset;
        block_size = size;
    }
    if (block_size > kMaxBlockBytes) throw ZAVROException(path + " ; track block too large");
    if (!file.ReadAt(block_offset, block_size, bytes)) throw ZAVROException(path + " ; short read");
    file.Close();
    Read(path, bytes);
}

Track::~Track() = default;

bool Track::getTrkfileInfo(FileHandle& file, const std::string& datfilename, uint32_t& offset, uint32_t& size) {
    std::vector<uint8_t> bytes;
    if (!file.ReadAt(0, kDirectoryStart, bytes)) return false;
    const uint64_t count = ByteReader(bytes.data(), bytes.size()).U16();
    if (!file.ReadAt(kDirectoryStart, count * kEntrySize, bytes)) return false;
    ByteReader directory(bytes.data(), bytes.size());
    for (uint64_t i = 0; i < count; ++i) {
        const size_t entry = static_cast<size_t>(i * kEntrySize);
        // The name is read as 14 bytes with the last forced to NUL: at most
        // 13 characters, and the first byte of the offset never joins it.
        directory.Seek(entry + kEntryNameField);
        const std::string entry_name = directory.Field(kEntryNameBytes - 1, kEntryNameBytes - 1);
        if (LowerAscii(entry_name) == datfilename) {
            offset = directory.U32At(entry + kEntryOffsetField);
            size = directory.U32At(entry + kEntrySizeField);
            return directory.ok();
        }
    }
    return false;
}

void Track::Read(const std::string& path, const std::vector<uint8_t>& bytes) {
    constexpr double k = TrackBlock::kTrackUnit;
    const TrackBlock block(bytes, path);
    stated_length_ = block.Int(2) * k;
    trace_count_ = block.GetTraceCount();
    for (uint32_t i = 0; i < trace_count_; ++i) trace_values_[i] = block.Int(7 + i);

    // The count is bounded by the section offset table the block holds.
    const uint32_t count = block.GetSectionCount();
    sections_.reserve(count);
    uint64_t traces = 0;
    for (uint32_t i = 0; i < count; ++i) {
        sections_.push_back(Section::CreateSection(*this, block, block.SectionRecordWord(i)));
        sections_.back()->ComputeStartPoint();
        // Sections may share trace records, so the records' total is not
        // bounded by the block's size.
        traces += sections_.back()->GetLateralLineCount();
        if (traces > kMaxSectionTraces) block.Fail(" ; too many section traces");
    }

    // A closed loop: each section ends where the next starts.
    for (size_t i = 1; i < sections_.size(); ++i) sections_[i - 1]->SetEndPoint(sections_[i]->GetStartPoint());
    sections_.back()->SetEndPoint(sections_.front()->GetStartPoint());

    length_ = 0.0;
    for (auto& s : sections_) length_ += s->ComputeLength();
    // Every distance along the lap wraps at this length, and split lines
    // need a section at each quarter of it.
    if (!(length_ > 0.0)) block.Fail(" ; lap length is not positive");
    CheckGeometryBudget(path);

    double d = 0.0;
    ends_sorted_ = true;
    for (auto& s : sections_) {
        s->SetStart(d);
        s->BuildOutline();
        s->BuildSurfaces();
        if (s->GetComputedLength() < 0.0) ends_sorted_ = false;
        d += s->GetComputedLength();
    }
}

void Track::CheckGeometryBudget(const std::string& path) const {
    // Outline and surface points a section will make: a curve samples its
    // arc once per 5 m for the outline and for every trace.
    double points = 0.0;
    for (const auto& s : sections_) {
        const double bands = s->GetLateralLineCount() > 0 ? static_cast<double>(s->GetLateralLineCount() - 1) : 0.0;
        if (const auto* curve = dynamic_cast<const Curve*>(s.get())) {
            const double m = static_cast<double>(curve->GetSampleCount());
            points += (m + 2.0) + bands * 2.0 * (m + 1.0);
        } else {
            points += 2.0 + bands * 4.0;
        }
        if (points > kMaxGeometryPoints) throw ZAVROException(path + " ; track geometry too large");
    }
}

std::unique_ptr<Track> Track::Load(const std::filesystem::path& simulator_folder, const std::string& track_name) {
    // The name comes from a replay file: it must name one folder below
    // "tracks", never a way out of it.
    if (track_name.empty() || track_name == "." || track_name == ".." ||
        track_name.find_first_of("\\/") != std::string::npos) {
        return nullptr;
    }
    // The folder is a stored one, perhaps a Windows path inside Wine.
    const auto folder = path_lookup::ToLocalPath(simulator_folder.string());
    if (!folder) return nullptr;
    std::unique_ptr<Track> track;
    for (const char* extension : {".trk", ".dat"}) {
        const std::string relative = "tracks/" + track_name + "/" + track_name + extension;
        try {
            track = std::make_unique<Track>(path_lookup::Resolve(*folder, relative).string());
            break;
        } catch (const Exception&) {
            // The other file form may still hold the track.
        }
    }
    // A track that was read has a lap of positive length, so every split
    // line distance lies on it.
    if (track) track->ComputeSplitLines();
    return track;
}

void Track::Clear() {
    sections_.clear();
    first_highlight_ = 0;
    last_highlight_ = -1;
    TrackPointList::ResetBounds();
    SurfacePolygon::ResetBounds();
}

int Track::findSection(double distance) const {
    if (ends_sorted_) {
        const auto it = std::partition_point(sections_.begin(), sections_.end(),
                                             [distance](const auto& s) { return !(s->GetEnd() > distance); });
        return it == sections_.end() ? -1 : static_cast<int>(it - sections_.begin());
    }
    // A section of negative length (a damaged curve) breaks the order.
    for (size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i]->GetEnd() > distance) return static_cast<int>(i);
    }
    return -1;
}

const Section& Track::GetSection(size_t sectionIndex) const {
    if (sectionIndex >= sections_.size()) throw ZAVROException("sectionIndex >= _sectionList.size()");
    return *sections_[sectionIndex];
}

Section& Track::GetSection(size_t sectionIndex) {
    return const_cast<Section&>(static_cast<const Track&>(*this).GetSection(sectionIndex));
}

void Track::Accept(SectionVisitor& visitor) const {
    for (const auto& s : sections_) s->Accept(visitor);
}

void Track::ComputeSplitLines() {
    const double l = length_;
    split_lines_[0].Compute(*this, 0.0);
    split_lines_[1].Compute(*this, 0.25 * l);
    split_lines_[2].Compute(*this, 0.5 * l);
    split_lines_[3].Compute(*this, 0.75 * l);
}

void Track::DrawSplitLines(CoreDisplay& painter) const {
    for (const SplitLine& line : split_lines_) painter.DrawSplitLine(line);
}

void Track::ClearHighlight() {
    for (auto& s : sections_) s->ClearSelection();
}

void Track::SetHighlightRange(double from, double to) {
    for (int i = first_highlight_; i <= last_highlight_; ++i) sections_[static_cast<size_t>(i)]->ClearSelection();
    first_highlight_ = 0;
    last_highlight_ = -1;

    // A range from the lap length on lies on no section; a window tracking
    // a position just past the line asks for one, and gets nothing
    // highlighted rather than an error. NaN limits highlight nothing too.
    const double l = length_;
    if (sections_.empty() || !(from < l) || !(to >= 0.0)) return;

    const int first = from <= 0.0 ? 0 : findSection(from);
    const int last = to >= l ? static_cast<int>(sections_.size()) - 1 : findSection(to);
    if (first == -1 || last == -1) throw ZAVROException("ERROR! first == -1 || last == -1");
    if (last < first) throw ZAVROException("ERROR! last < first");
    first_highlight_ = first;
    last_highlight_ = last;

    for (int i = first; i <= last; ++i) sections_[static_cast<size_t>(i)]->SelectWhole();
    sections_[static_cast<size_t>(first)]->SetRangeFrom(from);
    sections_[static_cast<size_t>(last)]->SetRangeTo(to);
}

void Track::HighlightAround(double distance, unsigned percent) {
    const double half = percent * length_ * 0.01;
    SetHighlightRange(distance - half, distance + half);
}

void Track::DrawSurfaces(CoreDisplay& painter) const {
    for (const auto& s : sections_) {
        for (size_t i = 0; i < s->GetExtraShapeCount(); ++i) painter.DrawSurface(s->GetExtraShape(i));
    }
}

void Track::DrawSections(CoreDisplay& painter) const {
    for (const auto& s : sections_) s->Draw(painter);
}
