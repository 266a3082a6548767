#pragma once
// Whole-file reading for the readers.
#include <optional>
#include <string>

namespace nettor {

// The bytes of the file, or nothing when it cannot be opened or the reading
// was given up (reading_cancel.h). A file that cannot be opened is reported
// on the diagnostics stream as "Cannot open <path>".
std::optional<std::string> readWholeFile(const std::string& path);

// Whether the file can be opened for reading at all.
bool fileIsReadable(const std::string& path);

} // namespace nettor
