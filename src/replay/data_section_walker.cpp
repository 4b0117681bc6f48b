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
    ahead_ = {};
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
    std::span<const uint8_t> here = Ahead(8);
    if (here.size() < 8) {
        end = End::kPastEndOfFile;
        return false;
    }
    const ByteReader h(here);
    block.offset = pos_;
    block.index = blocks_walked_;
    block.size = h.U16At(0);
    block.previous = h.U16At(2);
    if (block.size < 8) {
        end = End::kBlockTooSmall;
        return false;
    }
    if (!BlockInside(pos_, block.size, section_end_)) {
        end = pos_ + block.size > file_.size() ? End::kPastEndOfFile : End::kPastSectionEnd;
        return false;
    }
    if (here.size() < block.size) here = Ahead(block.size);
    if (here.size() < block.size) {
        end = End::kPastEndOfFile;
        return false;
    }
    block.bytes = here.first(block.size);
    ++blocks_walked_;
    return true;
}

std::span<const uint8_t> DataSectionWalker::Ahead(size_t count) {
    const uint64_t into = pos_ - ahead_pos_;
    if (pos_ >= ahead_pos_ && into <= ahead_.size() && ahead_.size() - into >= count) return ahead_.subspan(into);
    ahead_ = file_.ViewAhead(pos_, count);
    ahead_pos_ = pos_;
    return ahead_;
}
