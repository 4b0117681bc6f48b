#include "track/track_block.h"

#include "replay/byte_reader.h"
#include "track/zavro_exception.h"

namespace {

constexpr uint64_t kHeaderWords = 23;

}  // namespace

TrackBlock::TrackBlock(std::span<const uint8_t> bytes, std::string path)
    : bytes_(bytes), path_(std::move(path)), word_count_(bytes.size() / 4) {
    // A block too short to hold its magic reads 0 there and is no block.
    if (Word(0) != kMagic) Fail(" ; _type != 0x5452414B");
    if (word_count_ < kHeaderWords) Fail(" ; block shorter than its header");
    trace_count_ = Word(3);
    if (trace_count_ > kMaxTraces) Fail(" ; _noOfTraces > MAX_NO_OF_TRACES");
    section_count_ = Word(4);

    // The curve radius divides by the difference of the first and last
    // per-trace values, and split lines and the lap need a section at every
    // distance along it.
    if (section_count_ == 0) Fail(" ; no sections");
    if (trace_count_ < 2) Fail(" ; fewer than two traces");
    if (Word(7) == Word(7 + trace_count_ - 1)) Fail(" ; first and last trace values are equal");

    // Areas, in words; byte sizes and offsets are used divided by 4 because
    // the format addresses the block as an array of words. 64-bit sums of
    // 32-bit fields cannot overflow.
    const uint64_t s = section_count_;
    const uint64_t t = trace_count_;
    if (!HasWords(kHeaderWords, s)) Fail(" ; section offset table beyond the end of the block");
    cross_area_ = kHeaderWords + s;
    if (!HasWords(cross_area_, s * t * kRecordWords)) Fail(" ; cross records beyond the end of the block");
    trace_area_ = cross_area_ + s * t * kRecordWords;
    const uint64_t trace_area_words = Word(5) / 4;
    if (!HasWords(trace_area_, trace_area_words)) Fail(" ; trace records beyond the end of the block");
    section_area_ = trace_area_ + trace_area_words;
}

uint32_t TrackBlock::Word(uint64_t index) const {
    if (index >= word_count_) return 0;
    return ByteReader(bytes_).U32At(static_cast<size_t>(index * 4));
}

bool TrackBlock::HasWords(uint64_t first, uint64_t count) const {
    return first <= word_count_ && count <= word_count_ - first;
}

void TrackBlock::Fail(const std::string& condition) const {
    throw ZAVROException(path_ + condition);
}

uint64_t TrackBlock::SectionRecordWord(uint32_t section) const {
    return section_area_ + Word(kHeaderWords + section) / 4;
}
