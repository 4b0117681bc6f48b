#include "support/replay_fixture.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fixture {
namespace {

constexpr uint32_t kHeaderSize = 296;
constexpr uint32_t kChunkHeaderSize = 12;
constexpr uint32_t kEntryHeaderSize = 12;
constexpr uint32_t kBlockHeaderSize = 8;
constexpr uint32_t kExtraPayloadSize = 16;

// Second words of the chunks whose second word carries nothing the readers use.
constexpr uint32_t kDriverChunkWord = 0x00000014;
constexpr uint32_t kTableChunkWord = 0x5A5A0001;
constexpr uint32_t kExtraChunkWord = 0x5A5A0002;
// Upper bytes of the data section's second word; the low byte is the
// distance unit, so a reader that compares the whole word fails.
constexpr uint32_t kDataWordHigh = 0xC3B2A100;

uint8_t Pattern(size_t offset) {
    return static_cast<uint8_t>(0x80 | (offset & 0x7F));
}

// Fills with pattern bytes up to `offset` (relative to the start of `out`).
void PadTo(Bytes& out, size_t offset) {
    if (out.size() > offset) {
        throw std::logic_error("fixture: field written past offset " + std::to_string(offset));
    }
    while (out.size() < offset) {
        out.U8(Pattern(out.size()));
    }
}

void ChunkHeader(Bytes& out, uint32_t tag, uint32_t word, uint32_t payload_length) {
    out.U32(tag);
    out.U32(word);
    out.U32(payload_length);
}

uint32_t EntryBytes(const LapEntry& entry) {
    return kEntryHeaderSize + 8 + 4 * static_cast<uint32_t>(entry.words.size());
}

uint32_t TablePayload(const std::vector<LapEntry>& entries) {
    uint32_t total = 0;
    for (const LapEntry& entry : entries) {
        total += EntryBytes(entry);
    }
    return total;
}

uint32_t BlockBytes(const FrameBlock& block) {
    uint32_t total = kBlockHeaderSize;
    for (const Record& record : block.records) {
        total += 4 + static_cast<uint32_t>(record.payload.size());
    }
    return total;
}

uint32_t FramesTotal(const std::vector<FrameBlock>& frames) {
    uint32_t total = 0;
    for (const FrameBlock& block : frames) {
        total += BlockBytes(block);
    }
    return total;
}

uint32_t DriverPayloadWritten(const ReplaySpec& spec) {
    return kDriverRecordSize * static_cast<uint32_t>(spec.drivers.size()) +
           static_cast<uint32_t>(spec.driver_trailing.size());
}

bool HasFirstTable(TableLayout layout) {
    return layout != TableLayout::kNone;
}

bool HasRaceTable(TableLayout layout) {
    return layout == TableLayout::kPracticeThenRace || layout == TableLayout::kPracticeExtraRace ||
           layout == TableLayout::kEmptyFirstThenRace;
}

uint32_t FirstTablePayload(const ReplaySpec& spec) {
    return spec.layout == TableLayout::kEmptyFirstThenRace ? 0 : TablePayload(spec.practice);
}

void WriteHeader(Bytes& out, const ReplaySpec& spec) {
    out.U32(spec.magic);
    out.U32(spec.version);
    out.U32(0);  // file size - 12, set once the file is complete
    PadTo(out, 40);
    out.U32(spec.recording_ticks);
    PadTo(out, 48);
    uint16_t last_block = 0;
    if (!spec.frames.empty()) {
        last_block = static_cast<uint16_t>(BlockBytes(spec.frames.back()));
    }
    out.U16(spec.last_block_size.value_or(last_block));
    PadTo(out, 52);
    out.U32(spec.player_index);
    out.Field(spec.player_first, 16);
    out.Field(spec.player_last, 16);
    PadTo(out, 112);
    out.Field(spec.track, 16);
    out.Field(spec.car_set, 16);
    PadTo(out, 148);
    out.U8(spec.game_mode);
    PadTo(out, 156);
    out.U16(spec.ai_cars);
    PadTo(out, 169);
    out.U8(static_cast<uint8_t>(spec.damage_level << 5));
    PadTo(out, 225);
    out.U8(spec.sessions);
    PadTo(out, 239);
    // Only one of the two race-lap fields is read, chosen by the session
    // count; the other gets a value no reader should show.
    const bool three = spec.sessions == 3;
    out.U16(three ? 0xEEEE : spec.race_laps);
    PadTo(out, 247);
    out.U16(three ? spec.race_laps : 0xEEEE);
    PadTo(out, kHeaderSize);
}

std::string DriverRecord(const DriverSpec& d) {
    Bytes r;
    PadTo(r, 12);
    r.Field(d.first_name, 16);
    r.Field(d.last_name, 16);
    PadTo(r, 48);
    r.U8(d.country);
    PadTo(r, 52);
    if (d.not_applicable) {
        r.CString("NOT APPLICABLE");
    } else {
        PadTo(r, 53);
        r.U8(static_cast<uint8_t>(d.season_offset));
        r.U8(d.car_byte);
        r.U8(d.car_data55);
        r.U8(d.car_data56);
        for (uint8_t v : d.car_data57) {
            r.U8(v);
        }
    }
    PadTo(r, 84);
    if (d.ai) {
        r.CString("AI");
    }
    PadTo(r, 120);
    r.U32(d.engine_index);
    r.U8(d.code_byte);
    PadTo(r, 128);
    r.U32(d.value128);
    PadTo(r, 136);
    r.U32(d.slot);
    r.U32(d.value140);
    PadTo(r, kDriverRecordSize);
    return r.data;
}

void WriteTable(Bytes& out, uint32_t tag, const std::vector<LapEntry>& entries) {
    ChunkHeader(out, tag, kTableChunkWord, TablePayload(entries));
    uint32_t index = 0;
    for (const LapEntry& entry : entries) {
        out.U32(0xA5A50000 | index);
        out.U32(0x5A5A0000 | index);
        out.U32(entry.length_override.value_or(8 + 4 * static_cast<uint32_t>(entry.words.size())));
        out.U32(entry.slot);
        out.U32(entry.start_ms);
        for (uint32_t word : entry.words) {
            out.U32(word);
        }
        ++index;
    }
}

void WriteFrames(Bytes& out, const std::vector<FrameBlock>& frames) {
    uint32_t previous = 0;
    uint32_t index = 0;
    for (const FrameBlock& block : frames) {
        const uint32_t size = BlockBytes(block);
        if (size > 0xFFFF) {
            throw std::length_error("fixture: frame block of " + std::to_string(size) + " bytes");
        }
        out.U16(block.size_override.value_or(static_cast<uint16_t>(size)));
        out.U16(block.prev_size_override.value_or(static_cast<uint16_t>(previous)));
        out.U32(0xB10C0000 | (index & 0xFFFF));
        for (const Record& record : block.records) {
            out.U16(record.type);
            out.U16(record.length);
            out.Raw(record.payload);
        }
        previous = size;
        ++index;
    }
}

void ExpectAt(const Bytes& out, uint32_t offset, const char* piece) {
    if (out.size() != offset) {
        throw std::logic_error(std::string("fixture: ") + piece + " at " + std::to_string(out.size()) +
                               ", layout says " + std::to_string(offset));
    }
}

}  // namespace

void Bytes::U8(uint8_t v) {
    data.push_back(static_cast<char>(v));
}

void Bytes::U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
}

void Bytes::U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
}

void Bytes::Field(const std::string& text, size_t width) {
    const size_t n = text.size() < width ? text.size() : width;
    data.append(text, 0, n);
    Zeros(width - n);
}

void Bytes::CString(const std::string& text) {
    data.append(text);
    U8(0);
}

void Bytes::Raw(const std::string& bytes) {
    data.append(bytes);
}

void Bytes::Zeros(size_t count) {
    data.append(count, '\0');
}

void Bytes::PutU16At(size_t offset, uint16_t v) {
    if (offset > data.size() || data.size() - offset < 2) {
        throw std::out_of_range("fixture: PutU16At past the end");
    }
    data[offset] = static_cast<char>(v & 0xFF);
    data[offset + 1] = static_cast<char>(v >> 8);
}

void Bytes::PutU32At(size_t offset, uint32_t v) {
    if (offset > data.size() || data.size() - offset < 4) {
        throw std::out_of_range("fixture: PutU32At past the end");
    }
    PutU16At(offset, static_cast<uint16_t>(v));
    PutU16At(offset + 2, static_cast<uint16_t>(v >> 16));
}

LapEntry EntryFromLaps(uint32_t slot, uint32_t start_ms, const std::vector<uint32_t>& lap_ms,
                       const std::vector<uint32_t>& flags) {
    LapEntry entry;
    entry.slot = slot;
    entry.start_ms = start_ms;
    uint32_t clock = start_ms;
    for (size_t k = 0; k < lap_ms.size(); ++k) {
        clock += lap_ms[k];
        uint32_t word = clock & 0xFFFFFF;
        if (k < flags.size()) {
            word |= flags[k];
        }
        entry.words.push_back(word);
    }
    return entry;
}

Record Marker(uint8_t session_code, uint32_t clock_ms) {
    Bytes payload;
    payload.U32(((clock_ms / 10) << 8) | session_code);
    return Record{13, 8, payload.data};
}

Record FrameNumber(uint32_t frame) {
    Bytes payload;
    payload.U32(frame);
    return Record{14, 8, payload.data};
}

Record CarStatus(int slot, std::initializer_list<std::pair<int, uint8_t>> bytes) {
    std::string payload(16, '\0');
    const int word = slot * 64 + 31;
    payload[0] = static_cast<char>(word & 0xFF);
    payload[1] = static_cast<char>((word >> 8) & 0xFF);
    for (const auto& [index, value] : bytes)
        if (index >= 2 && index < 16) payload[static_cast<size_t>(index)] = static_cast<char>(value);
    return Record{10, 20, payload};
}

Record Filler(uint16_t type, uint16_t occupied) {
    if (occupied < 4 || occupied % 4 != 0) {
        throw std::invalid_argument("fixture: filler record of " + std::to_string(occupied) + " bytes");
    }
    // Type 8 is skipped as length + 2 by some readers and as the length
    // rounded up by others; types 9, 14, 15, 16 by their size code. These
    // length fields satisfy every rule at once.
    uint16_t length = occupied;
    if (type == 8) {
        length = static_cast<uint16_t>(occupied - 2);
    } else if (type == 9 || type == 14 || type == 15 || type == 16) {
        length = static_cast<uint16_t>(occupied - 1);
    }
    Record record{type, length, {}};
    for (size_t i = 4; i < occupied; ++i) {
        record.payload.push_back(static_cast<char>(Pattern(i + type)));
    }
    return record;
}

ReplayLayout LayoutOf(const ReplaySpec& spec) {
    ReplayLayout layout;
    uint32_t at = layout.driver_chunk + kChunkHeaderSize + DriverPayloadWritten(spec);
    if (HasFirstTable(spec.layout)) {
        layout.first_table = at;
        at += kChunkHeaderSize + FirstTablePayload(spec);
    }
    if (spec.layout == TableLayout::kPracticeExtraRace) {
        layout.extra_chunk = at;
        at += kChunkHeaderSize + kExtraPayloadSize;
    }
    if (HasRaceTable(spec.layout)) {
        layout.race_table = at;
        at += kChunkHeaderSize + TablePayload(spec.race);
    }
    layout.data_section = at;
    layout.file_size = at + kChunkHeaderSize + FramesTotal(spec.frames);
    return layout;
}

std::string BuildReplay(const ReplaySpec& spec) {
    const ReplayLayout layout = LayoutOf(spec);
    Bytes out;
    WriteHeader(out, spec);

    ExpectAt(out, layout.driver_chunk, "driver chunk");
    ChunkHeader(out, kTagDrivers, kDriverChunkWord,
                spec.driver_payload_override.value_or(DriverPayloadWritten(spec)));
    for (const DriverSpec& driver : spec.drivers) {
        out.Raw(DriverRecord(driver));
    }
    out.Raw(spec.driver_trailing);

    if (HasFirstTable(spec.layout)) {
        ExpectAt(out, layout.first_table, "first table");
        if (spec.layout == TableLayout::kEmptyFirstThenRace) {
            WriteTable(out, spec.first_table_tag, {});
        } else {
            WriteTable(out, spec.first_table_tag, spec.practice);
        }
    }
    if (spec.layout == TableLayout::kPracticeExtraRace) {
        ExpectAt(out, layout.extra_chunk, "extra chunk");
        ChunkHeader(out, kTagExtra, kExtraChunkWord, kExtraPayloadSize);
        for (uint32_t i = 0; i < kExtraPayloadSize; ++i) {
            out.U8(Pattern(i));
        }
    }
    if (HasRaceTable(spec.layout)) {
        ExpectAt(out, layout.race_table, "race table");
        WriteTable(out, kTagRaceTable, spec.race);
    }

    ExpectAt(out, layout.data_section, "data section");
    ChunkHeader(out, kTagData, kDataWordHigh | spec.distance_unit, FramesTotal(spec.frames));
    WriteFrames(out, spec.frames);

    ExpectAt(out, layout.file_size, "end of file");
    out.PutU32At(8, static_cast<uint32_t>(out.size() - 12));
    return out.data;
}

std::vector<FrameBlock> SessionFrames(uint8_t session_code, uint32_t clock_start_ms, uint32_t ticks,
                                      uint32_t first_frame_number, uint32_t filler_bytes) {
    if (filler_bytes % 4 != 0 || filler_bytes > 0xFFFF - kBlockHeaderSize - 16) {
        throw std::invalid_argument("fixture: filler_bytes " + std::to_string(filler_bytes));
    }
    struct FillerKind {
        uint16_t type;
        uint16_t occupied;
    };
    static constexpr FillerKind kKinds[] = {{4, 16}, {8, 12}, {9, 8}, {11, 20}};
    size_t kind = 0;

    std::vector<FrameBlock> frames;
    frames.reserve(ticks);
    for (uint32_t i = 0; i < ticks; ++i) {
        FrameBlock block;
        const uint64_t clock = clock_start_ms + uint64_t{i} * 1000 / 36;
        block.records.push_back(Marker(session_code, static_cast<uint32_t>(clock)));
        block.records.push_back(FrameNumber(first_frame_number + i));
        uint32_t left = filler_bytes;
        while (left > 0) {
            const FillerKind& k = kKinds[kind];
            kind = (kind + 1) % std::size(kKinds);
            const uint16_t occupied = static_cast<uint16_t>(left < k.occupied ? left : k.occupied);
            block.records.push_back(Filler(k.type, occupied));
            left -= occupied;
        }
        frames.push_back(std::move(block));
    }
    return frames;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw std::runtime_error("fixture: cannot write " + path.string());
    }
}

}  // namespace fixture
