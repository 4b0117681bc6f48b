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

#include <cstdint>
#include <functional>
#include <span>
#include <string>

class ReplayFile;

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

    using BlockVisitor = std::function<BlockAction(const Block&)>;
    // Returns false to end the walk.
    using RecordVisitor = std::function<bool(const Block&, const Record&)>;

    // Types 1 to 4, 6 and 8 to 16.
    static bool Known(uint16_t type);
    // The block rule above, for a block at offset of the given size field
    // in a section (or file) ending at end.
    static bool BlockInside(uint64_t offset, uint16_t size, uint64_t end) {
        return size >= 8 && offset <= end && size <= end - offset;
    }
    // Bytes a record of this type with this length field occupies; 0 for an
    // unknown type.
    static uint32_t Occupied(uint16_t type, uint16_t length);

    // Walks the data section whose chunk header is at data_offset of the
    // replay at path. The u32 at data_offset + 8 is the total size of the
    // blocks; they start at data_offset + 12.
    End Walk(const std::string& path, uint32_t data_offset, const BlockVisitor& on_block,
             const RecordVisitor& on_record);

    // The offset at which the walk ended (the block or record at fault).
    uint64_t end_offset() const { return end_offset_; }
    uint32_t total_size() const { return total_size_; }
    uint32_t blocks_walked() const { return blocks_walked_; }

private:
    End WalkRecords(const Block& block, const RecordVisitor& on_record);

    uint64_t end_offset_ = 0;
    uint32_t total_size_ = 0;
    uint32_t blocks_walked_ = 0;
};
