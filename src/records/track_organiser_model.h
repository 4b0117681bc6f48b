#pragma once
// TrackOrganiserModel: the working copy behind "Track Organizer", the list
// of the season file's events that the user reorders, edits, adds to and
// removes from, and writes back with a backup (67season.old beside it).
//
// Each row remembers the event section it was read from, so that Export
// moves whole sections: a reordered event takes every key of its section
// along, keys this program does not know included, and only the seven known
// keys are set. A key that was missing in the file shows "default" in its
// cell but is not written back unless the user changed it. Values are kept
// whole, however long.
//
// Messages and questions go through the Interaction; the edit box is a
// callback so the dialog (or a test) supplies it.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class Interaction;

class TrackOrganiserModel {
public:
    // The simulator holds at most this many events; the organiser shows the
    // limit but does not enforce it.
    static constexpr int kSimulatorMaxEvents = 64;
    static constexpr const char* kMissingText = "default";

    // Columns of the list, in display order.
    enum Column { kName, kShortName, kTrackDir, kLaps, kMonth, kDay, kGrid, kColumnCount };
    using Cells = std::array<std::string, kColumnCount>;

    struct Row {
        // The event number of the section the row was read from; 0 for an
        // added entry.
        int origin = 0;
        // nullopt: the key is missing from the file.
        std::array<std::optional<std::string>, kColumnCount> values;
    };

    // Runs the "Edit Track Properties" box on cells (column order); false
    // when it was cancelled.
    using EditBox = std::function<bool(Cells& cells)>;

    // simulator_folder is the stored folder (Windows or Linux path); ui is
    // borrowed for the model's life.
    TrackOrganiserModel(std::string simulator_folder, Interaction& ui);

    // The season file's key of a column.
    static const char* ColumnKey(int column);
    // Column headings, padded as the list shows them.
    static const char* ColumnHeading(int column);
    // What is wrong with an event's date as the edit box gives it: a month
    // that is not 1 to 12, or a day that the month does not have (29
    // February is allowed). Empty when the date can be stored; an empty
    // text or the missing-key text leaves that part unset and is accepted.
    // Only what the user typed is judged: a part read from the season file
    // and left alone (month_typed or day_typed false) passes as it stands,
    // for the file exchanges these texts without checks (" 6", "0").
    static std::string DateProblem(const std::string& month, const std::string& day, bool month_typed = true,
                                   bool day_typed = true);

    // Import: reads the rows again from the season file. The change flags
    // keep their values.
    void LoadSeason();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const Row& GetRow(int row) const { return rows_.at(static_cast<size_t>(row)); }
    // A cell as shown: the value, or "default" for a missing key.
    std::string CellText(int row, int column) const;
    Cells RowCells(int row) const;
    // The count label: numEvents as read after a load, the row count after
    // an add or a remove.
    const std::string& CountText() const { return count_text_; }
    // True when the list holds more events than the simulator can.
    bool OverSimulatorLimit() const { return RowCount() > kSimulatorMaxEvents; }

    // Drag and drop: moves the rows (any order, duplicates ignored) as one
    // block, in their list order, so that they stand before the row that was
    // at `before` (RowCount() for the end). Sets the rows-moved flag when
    // the order changed. Returns the new index of the first moved row.
    int MoveRows(std::vector<int> rows, int before);

    // The buttons. selected are the selected rows.
    void OnEdit(const std::vector<int>& selected, const EditBox& edit);
    void OnAdd(const EditBox& edit);
    void OnRemove(const std::vector<int>& selected);
    // Writes the list into the season file, after a backup of the old file.
    // True on success; every failure is reported and leaves the file whole.
    bool ExportSeason();
    // Close or Escape: true when the dialog may close (nothing unsaved, or
    // the user agreed).
    bool OnCancel();

    bool RowsMoved() const { return rows_moved_; }
    bool ChangesNotExported() const { return changes_not_exported_; }

private:
    std::string simulator_folder_;
    Interaction& ui_;
    std::vector<Row> rows_;
    std::string count_text_ = kMissingText;
    bool rows_moved_ = false;
    bool changes_not_exported_ = false;
};
