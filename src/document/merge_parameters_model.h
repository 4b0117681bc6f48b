#pragma once
// What the merge parameters dialog shows and decides, without any window:
// per loaded lap its label ("first last - 1m 23.456s"), its maximum
// advantage (its lap time minus the fastest loaded lap's, ms) and text, and
// the start advantage in ms that the merge gives it, set by one of four
// options or typed by hand in seconds.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CRpyGraphDoc;

class MergeParametersModel {
public:
    static constexpr int kRows = 5;
    static constexpr const char* kTooLarge = "To large number!";
    // The option radios by their control ids.
    enum Option { kStartOfLap = 1152, kEndOfLap = 1153, kSameDifference = 1154, kManual = 1155 };

    // Lap rows from the document's loaded laps in slot order (at most five);
    // the option starts as kStartOfLap.
    explicit MergeParametersModel(const CRpyGraphDoc& doc);
    // Rows from lap labels' parts directly: names and lap-time words.
    MergeParametersModel(const std::vector<std::string>& names, const std::vector<uint32_t>& lap_words);

    int LapCount() const { return count_; }
    const std::string& Label(int row) const { return label_.at(static_cast<size_t>(row)); }
    uint32_t MaxAdvantage(int row) const { return max_advantage_.at(static_cast<size_t>(row)); }
    const std::string& MaxAdvantageText(int row) const { return max_text_.at(static_cast<size_t>(row)); }
    uint32_t StartAdvantage(int row) const { return start_.at(static_cast<size_t>(row)); }
    const std::string& EditText(int row) const { return edit_.at(static_cast<size_t>(row)); }
    const std::array<uint32_t, kRows>& StartAdvantages() const { return start_; }

    Option option() const { return option_; }
    // The edits take typing only under the manual option.
    bool EditsEnabled() const { return option_ == kManual; }
    // Applies an option: the edits show and the start advantages become 0
    // (start of lap), the difference to the fastest lap (end of lap) or
    // half of it (same difference); manual keeps both.
    void SetOption(Option option);

    // The edit of a row lost the focus with `typed` in it: keeps its leading
    // run of "0123456789.,", shows that, and stores its value. False when
    // the value exceeds the row's maximum advantage (the dialog then says
    // kTooLarge and keeps the focus there); the value is stored even then.
    bool CommitEdit(int row, const std::string& typed);
    // The first row whose start advantage exceeds its maximum, or -1.
    int FirstTooLarge() const;

    // The leading run of digits, "." and ",".
    static std::string KeepNumberChars(const std::string& text);
    // Seconds with "." or "," and up to three decimals as milliseconds:
    // "1.5" 1500, "1,05" 1050, "2." 2000, "7" 7000. Saturates at the largest
    // u32 for numbers too large to hold.
    static uint32_t ParseSeconds(const std::string& text);
    // Seconds "." three-digit milliseconds: 1234 gives "1.234".
    static std::string SecondsText(uint32_t ms);

private:
    void Fill(const std::vector<std::string>& names, const std::vector<uint32_t>& lap_words);

    int count_ = 0;
    uint32_t fastest_ = UINT32_MAX;
    std::array<std::string, kRows> label_;
    std::array<uint32_t, kRows> max_advantage_{};
    std::array<std::string, kRows> max_text_;
    std::array<uint32_t, kRows> start_{};
    std::array<std::string, kRows> edit_;
    Option option_ = kStartOfLap;
};
