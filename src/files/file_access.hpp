#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvert {

enum class [[nodiscard]] ReadOutcome{Read, OpenFailed, SizeUndefined, ReadFailed};

/// Which file a path named when it was opened: two paths name the same file
/// (through a link, "./" or a hard link) when both numbers agree.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
};

/// Opens `path` read-only (a folder is refused as OpenFailed), learns its size
/// with one seek, reads it whole into `text` (repeating the read until the
/// size is in or the file ends early), cuts the text at its first NUL byte and
/// closes the file. ReadFailed when nothing can be read or the text cannot be
/// held in memory. `identity` names the file that was read.
[[nodiscard]] ReadOutcome readWholeFile(const std::string& path, std::string& text, FileIdentity& identity);

/// Opens `path` read-only without waiting for a FIFO's writer (the open
/// then blocks as usual); a descriptor, or −1.
[[nodiscard]] int openForReading(const std::string& path);

/// The file `path` names, following links; nothing when there is none.
[[nodiscard]] std::optional<FileIdentity> identityAt(const std::string& path);

/// Does `path` name, following links, one of the files `sorted` names (in
/// device and inode order)?
[[nodiscard]] bool namesOneOf(const std::string& path, const std::vector<FileIdentity>& sorted);

/// Device and inode order.
[[nodiscard]] inline bool operator<(const FileIdentity& a, const FileIdentity& b)
{
    return a.device != b.device ? a.device < b.device : a.inode < b.inode;
}

/// Does `path` name, following links, the file `identity` names?
[[nodiscard]] bool namesSameFile(const std::string& path, const FileIdentity& identity);

/// Creates or truncates `path` write-only (binary, mode 0600) and returns
/// its descriptor, or −1.
[[nodiscard]] int createOutputFile(const std::string& path);

/// Writes all of `bytes`; false when the system refuses or writes nothing.
[[nodiscard]] bool writeAll(int descriptor, std::string_view bytes);

/// Closes a descriptor; false when the system reports that buffered data
/// may not have reached the file.
[[nodiscard]] bool closeFile(int descriptor);

}  // namespace kalvert
