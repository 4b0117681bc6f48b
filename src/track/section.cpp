#include "track/section.h"

#include <cmath>
#include <numbers>
#include <string>

#include "track/core_display.h"
#include "track/curve.h"
#include "track/straight.h"
#include "track/track.h"
#include "track/track_block.h"
#include "track/zavro_exception.h"

namespace {

// Word positions inside a section record.
constexpr uint64_t kTypeWord = 0;
constexpr uint64_t kStartWord = 1;
constexpr uint64_t kLengthWord = 2;
constexpr uint64_t kHeadingWord = 3;
constexpr uint64_t kCrossIndexWord = 10;
constexpr uint64_t kTraceCountWord = 11;
constexpr uint64_t kTraceIndexWord = 12;

}  // namespace

std::unique_ptr<Section> Section::CreateSection(const Track& track, const TrackBlock& block, uint64_t word_index) {
    if (!block.HasWords(word_index, TrackBlock::kSectionRecordWords)) {
        block.Fail(" ; section record beyond the end of the block");
    }
    const uint32_t type = block.Word(word_index + kTypeWord);
    if (type == 1) return std::make_unique<Straight>(track, block, word_index);
    if (type == 2) return std::make_unique<Curve>(track, block, word_index);
    // The text carries the type's low byte as a raw character, as the
    // simulator's own tools print it.
    throw ZAVROException("Unknown section type with value " + std::string(1, static_cast<char>(type & 0xFF)));
}

Section::Section(const Track& track, const TrackBlock& block, uint64_t w) : track_(&track) {
    constexpr double k = TrackBlock::kTrackUnit;
    const int32_t stored_length = block.Int(w + kLengthWord);
    // Trace points are interpolated in proportion to the stored length.
    if (stored_length == 0) block.Fail(" ; section length is 0");
    start_ = block.Int(w + kStartWord) * k;
    length_ = stored_length * k;
    // An unsigned fraction of a turn: 2^32 is a whole turn.
    heading_ = block.Word(w + kHeadingWord) * std::numbers::pi / 2147483648.0;
    sin_heading_ = std::sin(heading_);
    cos_heading_ = std::cos(heading_);
    SetEndHeading(heading_);

    const uint64_t trace_count = block.Word(w + kTraceCountWord);
    const uint64_t first_trace = block.TraceRecordWord(block.Word(w + kTraceIndexWord));
    if (!block.HasWords(first_trace, trace_count * TrackBlock::kRecordWords)) {
        block.Fail(" ; trace records beyond the end of the block");
    }
    traces_.reserve(trace_count);
    for (uint64_t j = 0; j < trace_count; ++j) {
        const uint64_t r = first_trace + j * TrackBlock::kRecordWords;
        traces_.emplace_back(block.Int(r) * k, block.Int(r + 1) * k, block.Int(r + 2));
    }

    const uint64_t cross_count = track.GetTraceCount();
    const uint64_t first_cross = block.CrossRecordWord(block.Word(w + kCrossIndexWord));
    if (!block.HasWords(first_cross, cross_count * TrackBlock::kRecordWords)) {
        block.Fail(" ; cross records beyond the end of the block");
    }
    cross_.resize(cross_count);
    for (uint64_t j = 0; j < cross_count; ++j) {
        for (uint64_t i = 0; i < TrackBlock::kRecordWords; ++i) {
            cross_[j].words[i] = block.Int(first_cross + j * TrackBlock::kRecordWords + i);
        }
    }
}

Section::~Section() = default;

void Section::SetEndHeading(double heading) {
    end_heading_ = heading;
    sin_end_heading_ = std::sin(heading);
    cos_end_heading_ = std::cos(heading);
}

void Section::SetStart(double distance) {
    start_distance_ = distance;
    end_distance_ = distance + computed_length_;
}

void Section::Draw(CoreDisplay& painter) const {
    if (whole_) {
        painter.DrawHighlightedSection(outline_);
    } else if (range_from_ || range_to_) {
        DrawPartial(painter);
    } else {
        painter.DrawSection(outline_);
    }
}

void Section::SetRangeFrom(double distance) {
    highlight_from_ = distance < start_distance_ ? start_distance_ : distance;
    range_from_ = true;
    whole_ = false;
}

void Section::SetRangeTo(double distance) {
    highlight_to_ = distance > end_distance_ ? end_distance_ : distance;
    range_to_ = true;
    whole_ = false;
}

void Section::SelectWhole() {
    whole_ = true;
    range_from_ = false;
    range_to_ = false;
}

void Section::ClearSelection() {
    whole_ = false;
    range_from_ = false;
    range_to_ = false;
}
