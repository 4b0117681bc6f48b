#pragma once
// A track block held in memory and addressed as 32-bit little-endian words,
// as the format addresses it, with the word positions of its areas. The
// constructor checks the header and that every area lies inside the block;
// later reads check their own ranges with HasWords before reading.
//
// Block layout (words): 0 magic "KART", 2 stated lap length, 3 trace count
// T, 4 section count S, 5 byte size of the trace-record area, 7..22 the
// per-trace values, 23.. the section offset table (S words), then S x T
// cross records and the trace-record area (8 words a record), then the
// section-record area.

#include <cstdint>
#include <span>
#include <string>

class TrackBlock {
public:
    static constexpr uint32_t kMagic = 0x5452414B;  // "KART"
    static constexpr uint32_t kMaxTraces = 16;      // MAX_NO_OF_TRACES
    // Metres per track unit (1/500 inch), the factor of every length.
    static constexpr double kTrackUnit = 5.08000000002032e-05;
    static constexpr uint32_t kRecordWords = 8;      // cross and trace records
    static constexpr uint32_t kSectionRecordWords = 13;

    // Checks the block and throws ZAVROException, the path followed by
    // " ; " and the condition, when it is damaged. The bytes are not owned
    // and must outlive the block.
    TrackBlock(std::span<const uint8_t> bytes, std::string path);

    // Word i of the block (0 when it is not inside: callers check first).
    uint32_t Word(uint64_t index) const;
    int32_t Int(uint64_t index) const { return static_cast<int32_t>(Word(index)); }
    bool HasWords(uint64_t first, uint64_t count) const;
    // Throws the path followed by the condition text.
    [[noreturn]] void Fail(const std::string& condition) const;

    uint32_t GetTraceCount() const { return trace_count_; }
    uint32_t GetSectionCount() const { return section_count_; }
    // First word of cross record `record`, counted from the area's start.
    uint64_t CrossRecordWord(uint64_t record) const { return cross_area_ + record * kRecordWords; }
    uint64_t TraceRecordWord(uint64_t record) const { return trace_area_ + record * kRecordWords; }
    // First word of section i's record, from the section offset table.
    uint64_t SectionRecordWord(uint32_t section) const;

private:
    std::span<const uint8_t> bytes_;
    std::string path_;
    uint64_t word_count_ = 0;
    uint32_t trace_count_ = 0;
    uint32_t section_count_ = 0;
    uint64_t cross_area_ = 0;
    uint64_t trace_area_ = 0;
    uint64_t section_area_ = 0;
};
