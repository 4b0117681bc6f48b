#include "replay/data_section_walker.h"

#include <algorithm>

#include "replay/byte_reader.h"
#include "replay/replay_file.h"

bool DataSectionWalker::Known(uint16_t type) { return type >= 1 && type <= 16 && type != 5 && type != 7; }

DataSectionWalker::End DataSectionWalker::Begin(const std::string& path, uint32_t data_offset) {
    blocks_walked_ = 0;
    total_size_ = 0;
    walked_ = 0;
    end_offset_ = data_offset;
    if (!file_.Open(path) || file_.size() == 0) return End::kCannotOpen;
    const auto head = file_.View(data_offset, 12);
    if (head.empty()) return End::kBadSection;
    total_size_ = ByteReader(head).U32At(8);
    pos_ = uint64_t{data_offset} + 12;
    section_end_ = std::min<uint64_t>(pos_ + total_size_, file_.size());
    return End::kFinished;
}

bool DataSectionWalker::NextBlock(Block& block, End& end) {
    // The block handed out last is behind the cursor.
    if (blocks_walked_ > 0) {
        walked_ += block.size;
        pos_ += block.size;
    }
    end = End::kFinished;
    if (walked_ >= total_size_) return false;
    end_offset_ = pos_;
    const auto block_head = file_.View(pos_, 8);
    if (block_head.empty()) {
        end = End::kPastEndOfFile;
        return false;
    }
    ByteReader h(block_head);
    block.offset = pos_;
    block.index = blocks_walked_;
    block.size = h.U16();
    block.previous = h.U16();
    if (block.size < 8) {
        end = End::kBlockTooSmall;
        return false;
    }
    if (!BlockInside(pos_, block.size, section_end_)) {
        end = pos_ + block.size > file_.size() ? End::kPastEndOfFile : End::kPastSectionEnd;
        return false;
    }
    block.bytes = file_.View(pos_, block.size);
    if (block.bytes.empty()) {
        end = End::kPastEndOfFile;
        return false;
    }
    ++blocks_walked_;
    return true;
}
