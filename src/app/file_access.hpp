#pragma once

#include <string>
#include <string_view>

namespace kalvert {

enum class [[nodiscard]] ReadOutcome{Read, OpenFailed, SizeUndefined, ReadFailed};

/// Opens `path` for reading and writing (so a file that may not be written
/// is refused), learns its size with one seek, reads it with one read into
/// `text` (cut at the first NUL byte) and closes it. ReadFailed when the
/// read yields no bytes or the buffer cannot be had.
[[nodiscard]] ReadOutcome readWholeFile(const std::string& path, std::string& text);

/// Creates or truncates `path` (binary, read and write, mode 0600) and
/// returns its descriptor, or −1.
[[nodiscard]] int createOutputFile(const std::string& path);

/// Writes all of `bytes`; false when the system refuses or writes nothing.
[[nodiscard]] bool writeAll(int descriptor, std::string_view bytes);

/// Closes a descriptor; false when the system reports that buffered data
/// may not have reached the file.
[[nodiscard]] bool closeFile(int descriptor);

}  // namespace kalvert
