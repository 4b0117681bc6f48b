#pragma once
// Names and times of a loaded lap as the file commands use them: the stored
// lap-time word of the slot's lap, the default file name proposed for a
// saved lap, and the extension rule of the save choosers.

#include <cstdint>
#include <string>

struct LapSlot;

namespace lap_file_names {

// The lap's entry in its session's table of the slot's driver table (the
// race table when the slot's session is nonzero, else the practice table):
// milliseconds in the low 24 bits, flags in the top byte. 0 for a slot
// without a driver table or a lap outside the table.
uint32_t StoredLapWord(const LapSlot& slot);

// The proposed name of a file written from the lap: the first three
// characters of the driver's first name, "_", the first three of the last
// name, "_", the track folder, "_", the car name, "_", the stored lap time
// as "1m 23.456s", then extension (".rpy", ".txt"). A "/" or "\" of a name
// becomes "_", so the name never leads into another folder.
std::string DefaultLapFileName(const LapSlot& slot, const std::string& extension);

// Replaces every "/" and "\" of text by "_".
std::string SafeFileName(std::string text);

// The path with extension appended unless its last four characters already
// are the extension in any case (".RPY" is kept as typed).
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace lap_file_names
