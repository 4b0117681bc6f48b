#include "document/merge_parameters_model.h"

#include <algorithm>

#include "document/lap_file_names.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"

namespace {

void RemoveAll(std::string& text, const std::string& what) {
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) text.erase(at, what.size());
}

}  // namespace

MergeParametersModel::MergeParametersModel(const CRpyGraphDoc& doc) {
    std::vector<std::string> names;
    std::vector<uint32_t> words;
    for (int i = 0; i < doc.GetLoadedCount() && i < kRows; ++i) {
        const LapSlot& slot = doc.GetSlot(i);
        std::string name;
        if (slot.drivers && slot.driver >= 0 && slot.driver < Drivers::kMaxDrivers)
            name = slot.drivers->first_names[static_cast<size_t>(slot.driver)] + " " +
                   slot.drivers->last_names[static_cast<size_t>(slot.driver)];
        names.push_back(name);
        words.push_back(lap_file_names::StoredLapWord(slot));
    }
    Fill(names, words);
}

MergeParametersModel::MergeParametersModel(const std::vector<std::string>& names,
                                           const std::vector<uint32_t>& lap_words) {
    Fill(names, lap_words);
}

void MergeParametersModel::Fill(const std::vector<std::string>& names, const std::vector<uint32_t>& lap_words) {
    count_ = static_cast<int>(std::min({names.size(), lap_words.size(), size_t{kRows}}));
    for (int i = 0; i < count_; ++i) {
        label_[i] = names[i] + " - " + CRpyGraphDoc::FormatLapTime(lap_words[i]);
        fastest_ = std::min(fastest_, Drivers::LapMs(lap_words[i]));
    }
    for (int i = 0; i < count_; ++i) {
        max_advantage_[i] = Drivers::LapMs(lap_words[i]) - fastest_;
        std::string text = CRpyGraphDoc::FormatLapTime(max_advantage_[i]);
        for (const char* what : {"s", "0m 0", "0m ", " "}) RemoveAll(text, what);
        max_text_[i] = text;
    }
    SetOption(kStartOfLap);
}

std::string MergeParametersModel::SecondsText(uint32_t ms) {
    std::string millis = std::to_string(ms % 1000);
    millis.insert(0, 3 - millis.size(), '0');
    return std::to_string(ms / 1000) + "." + millis;
}

void MergeParametersModel::SetOption(Option option) {
    option_ = option;
    for (int i = 0; i < count_; ++i) {
        const uint32_t d = max_advantage_[i];
        switch (option) {
        case kStartOfLap:
            edit_[i].assign(1, '0');
            start_[i] = 0;
            break;
        case kEndOfLap:
            edit_[i] = SecondsText(d);
            start_[i] = d;
            break;
        case kSameDifference:
            edit_[i] = SecondsText(d / 2);
            start_[i] = d / 2;
            break;
        case kManual:
            break;
        }
    }
}

std::string MergeParametersModel::KeepNumberChars(const std::string& text) {
    const size_t end = text.find_first_not_of("0123456789.,");
    return text.substr(0, end);
}

uint32_t MergeParametersModel::ParseSeconds(const std::string& text) {
    auto whole = [](const std::string& digits) {
        uint64_t v = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') break;
            v = std::min<uint64_t>(v * 10 + static_cast<uint64_t>(c - '0'), UINT32_MAX);
        }
        return v;
    };
    size_t sep = text.find('.');
    if (sep == std::string::npos) sep = text.find(',');
    uint64_t ms = 0;
    if (sep == std::string::npos) {
        ms = whole(text) * 1000;
    } else {
        std::string fraction;
        for (size_t i = sep + 1; i < text.size() && fraction.size() < 3 && text[i] >= '0' && text[i] <= '9'; ++i)
            fraction += text[i];
        fraction.resize(3, '0');
        ms = whole(text.substr(0, sep)) * 1000 + whole(fraction);
    }
    return static_cast<uint32_t>(std::min<uint64_t>(ms, UINT32_MAX));
}

bool MergeParametersModel::CommitEdit(int row, const std::string& typed) {
    const auto i = static_cast<size_t>(row);
    edit_.at(i) = KeepNumberChars(typed);
    start_[i] = ParseSeconds(edit_[i]);
    return start_[i] <= max_advantage_[i];
}

int MergeParametersModel::FirstTooLarge() const {
    for (int i = 0; i < count_; ++i)
        if (start_[i] > max_advantage_[i]) return i;
    return -1;
}
