#pragma once
// Walks a replay's data section from its first frame block to its last, in
// file order, with large buffered reads. The reports that scan a whole
// replay (mechanical failures, detailed race, engine detection, laptime
// verification) walk it through this.
//
// Each frame block starts with u16 block size (header included), u16 size of
// the previous block and 4 unused bytes; its records follow from byte 8.
// Each record starts with a u32 header: type in the low 16 bits, length
// (header included) in the high 16 bits. How much a record occupies depends
// on its type, as the simulator writes them: types 1 to 4, 6 and 10 to 13
// occupy their length, type 8 its length plus 2, types 9 and 14 to 16 their
// length rounded up to a multiple of 4. Other types are unknown.
//
// One rule for every walk of the section, forwards or backwards (this
// walker, and the marker scans of the driver table): a block is sound only
// when its size covers its 8-byte header and it ends inside the section,
// whose end is its first block plus the total size; a section that claims
// more than the file holds ends at the end of the file. A block that breaks
// the rule is damage wherever it is met.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "replay/byte_reader.h"
#include "replay/replay_file.h"

class DataSectionWalker {
public:
    // How a walk ended.
    enum class End {
        kFinished,        // every block up to the total size was walked
        kStopped,         // the visitor asked to stop
        kCannotOpen,      // the file cannot be opened or is empty
        kBadSection,      // the data section's header lies outside the file
        kBlockTooSmall,   // a block size below 8: the walk could not advance
        kPastSectionEnd,  // a block runs past the end of the section
        kRecordTooShort,  // a record length below 4, or one running past its block
        kPastEndOfFile,   // a block runs past the end of the file
        kUnknownType,     // a record of an unknown type
    };

    struct Block {
        uint64_t offset = 0;    // file offset of the block
        uint32_t index = 0;     // 0 for the first block
        uint16_t size = 0;      // block size field
        uint16_t previous = 0;  // previous-block size field
        std::span<const uint8_t> bytes;  // the whole block, valid during the call
    };

    struct Record {
        uint16_t type = 0;
        uint16_t length = 0;     // length field (header included, for most types)
        uint32_t occupied = 0;   // bytes the record takes in its block
        std::span<const uint8_t> payload;  // the bytes after the header that the record occupies
    };

    // What to do with a block: walk its records, skip them, or end the walk.
    enum class BlockAction { kRecords, kSkip, kStop };

    // The visitors: on_block(const Block&) returns a BlockAction;
    // on_record(const Block&, const Record&) returns false to end the walk.
    // They are called directly (the walk is a template), since a whole
    // race passes through them record by record.

    // Types 1 to 4, 6 and 8 to 16.
    static bool Known(uint16_t type);
    // The block rule above, for a block at offset of the given size field
    // in a section (or file) ending at end.
    static bool BlockInside(uint64_t offset, uint16_t size, uint64_t end) {
        return size >= 8 && offset <= end && size <= end - offset;
    }
    // Bytes a record of this type with this length field occupies; 0 for an
    // unknown type.
    static uint32_t Occupied(uint16_t type, uint16_t length) {
        // By type: 0 unknown, 1 its length, 2 its length plus 2, 3 its
        // length rounded up to a multiple of 4.
        static constexpr uint8_t kRule[17] = {0, 1, 1, 1, 1, 0, 1, 0, 2, 3, 1, 1, 1, 1, 3, 3, 3};
        const uint8_t rule = type < 17 ? kRule[type] : 0;
        if (rule == 1) return length;
        if (rule == 3) return (uint32_t{length} + 3) & ~uint32_t{3};
        return rule == 2 ? uint32_t{length} + 2 : 0;
    }

    // Walks the data section whose chunk header is at data_offset of the
    // replay at path. The u32 at data_offset + 8 is the total size of the
    // blocks; they start at data_offset + 12.
    template <class OnBlock, class OnRecord>
    End Walk(const std::string& path, uint32_t data_offset, OnBlock&& on_block, OnRecord&& on_record) {
        End end = Begin(path, data_offset);
        Block block;
        while (end == End::kFinished && NextBlock(block, end)) {
            const BlockAction action = on_block(static_cast<const Block&>(block));
            if (action == BlockAction::kStop) return End::kStopped;
            if (action == BlockAction::kRecords) end = WalkRecords(block, on_record);
        }
        return end;
    }
    // Only checks the blocks: how the walk ends.
    End Walk(const std::string& path, uint32_t data_offset, std::nullptr_t, std::nullptr_t) {
        return Walk(
            path, data_offset, [](const Block&) { return BlockAction::kSkip; },
            [](const Block&, const Record&) { return true; });
    }

    // The offset at which the walk ended (the block or record at fault).
    uint64_t end_offset() const { return end_offset_; }
    uint32_t total_size() const { return total_size_; }
    uint32_t blocks_walked() const { return blocks_walked_; }

private:
    // Opens the file and reads the section's header: kFinished when the
    // blocks can be walked.
    End Begin(const std::string& path, uint32_t data_offset);
    // The next block, checked by the block rule: false at the end of the
    // walk, with end telling why (kFinished after the last block).
    bool NextBlock(Block& block, End& end);
    // The bytes from the cursor to the end of the window read last, read
    // anew when fewer than count are left there; fewer than count only at
    // the end of the file. One read serves the many blocks of a window.
    std::span<const uint8_t> Ahead(size_t count);

    // The record headers are checked once each; the record then lies
    // wholly inside its block, so the visitor reads it without checks of
    // its own beyond its fields' sizes.
    template <class OnRecord>
    End WalkRecords(const Block& block, OnRecord& on_record) {
        const size_t size = block.bytes.size();
        const ByteReader r(block.bytes);
        size_t pos = 8;
        size_t at = 0;  // the record being read
        End end = End::kFinished;
        while (pos < size) {
            at = pos;
            if (!r.Has(pos, 4)) {
                end = End::kRecordTooShort;
                break;
            }
            const uint32_t head = ByteReader::LoadU32(block.bytes.data() + pos);
            Record rec;
            rec.type = static_cast<uint16_t>(head & 0xFFFF);
            rec.length = static_cast<uint16_t>(head >> 16);
            rec.occupied = Occupied(rec.type, rec.length);
            if (rec.occupied == 0) {
                end = End::kUnknownType;
                break;
            }
            // A record shorter than its own header would never advance the walk.
            if (rec.occupied < 4 || !r.Has(pos, rec.occupied)) {
                end = End::kRecordTooShort;
                break;
            }
            rec.payload = std::span<const uint8_t>(block.bytes.data() + pos + 4, rec.occupied - 4);
            if (!on_record(block, static_cast<const Record&>(rec))) {
                end = End::kStopped;
                break;
            }
            pos += rec.occupied;
        }
        // The record at fault, or the block's last one.
        if (at > 0) end_offset_ = block.offset + at;
        return end;
    }

    // A window that stays in the processor's cache between the copy and the
    // walk over it.
    ReplayFile file_{128 << 10};
    std::span<const uint8_t> ahead_;
    uint64_t ahead_pos_ = 0;
    uint64_t pos_ = 0;
    uint64_t section_end_ = 0;
    uint64_t walked_ = 0;
    uint64_t end_offset_ = 0;
    uint32_t total_size_ = 0;
    uint32_t blocks_walked_ = 0;
};
