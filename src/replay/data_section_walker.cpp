#include "replay/data_section_walker.h"

#include <algorithm>

#include "replay/byte_reader.h"
#include "replay/replay_file.h"

bool DataSectionWalker::Known(uint16_t type) { return type >= 1 && type <= 16 && type != 5 && type != 7; }

uint32_t DataSectionWalker::Occupied(uint16_t type, uint16_t length) {
    switch (type) {
    case 1: case 2: case 3: case 4: case 6: case 10: case 11: case 12: case 13:
        return length;
    case 8:
        return uint32_t{length} + 2;
    case 9: case 14: case 15: case 16:
        return (uint32_t{length} + 3) & ~uint32_t{3};
    default:
        return 0;
    }
}

DataSectionWalker::End DataSectionWalker::WalkRecords(const Block& block, const RecordVisitor& on_record) {
    ByteReader r(block.bytes);
    size_t pos = 8;
    while (pos < block.bytes.size()) {
        end_offset_ = block.offset + pos;
        if (!r.Has(pos, 4)) return End::kRecordTooShort;
        const uint32_t head = r.U32At(pos);
        Record rec;
        rec.type = static_cast<uint16_t>(head & 0xFFFF);
        rec.length = static_cast<uint16_t>(head >> 16);
        rec.occupied = Occupied(rec.type, rec.length);
        if (!Known(rec.type)) return End::kUnknownType;
        // A record shorter than its own header would never advance the walk.
        if (rec.occupied < 4 || !r.Has(pos, rec.occupied)) return End::kRecordTooShort;
        rec.payload = block.bytes.subspan(pos + 4, rec.occupied - 4);
        if (!on_record(block, rec)) return End::kStopped;
        pos += rec.occupied;
    }
    return End::kFinished;
}

DataSectionWalker::End DataSectionWalker::Walk(const std::string& path, uint32_t data_offset,
                                               const BlockVisitor& on_block, const RecordVisitor& on_record) {
    blocks_walked_ = 0;
    total_size_ = 0;
    end_offset_ = data_offset;
    ReplayFile file(1 << 20);
    if (!file.Open(path) || file.size() == 0) return End::kCannotOpen;
    const auto head = file.View(data_offset, 12);
    if (head.empty()) return End::kBadSection;
    total_size_ = ByteReader(head).U32At(8);

    uint64_t pos = uint64_t{data_offset} + 12;
    const uint64_t section_end = std::min<uint64_t>(pos + total_size_, file.size());
    uint64_t walked = 0;
    while (walked < total_size_) {
        end_offset_ = pos;
        const auto block_head = file.View(pos, 8);
        if (block_head.empty()) return End::kPastEndOfFile;
        ByteReader h(block_head);
        Block block;
        block.offset = pos;
        block.index = blocks_walked_;
        block.size = h.U16();
        block.previous = h.U16();
        if (block.size < 8) return End::kBlockTooSmall;
        if (!BlockInside(pos, block.size, section_end))
            return pos + block.size > file.size() ? End::kPastEndOfFile : End::kPastSectionEnd;
        block.bytes = file.View(pos, block.size);
        if (block.bytes.empty()) return End::kPastEndOfFile;
        ++blocks_walked_;
        const BlockAction action = on_block(block);
        if (action == BlockAction::kStop) return End::kStopped;
        if (action == BlockAction::kRecords) {
            const End end = WalkRecords(block, on_record);
            if (end != End::kFinished) return end;
        }
        walked += block.size;
        pos += block.size;
    }
    return End::kFinished;
}
