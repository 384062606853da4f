#include "files/file_access.hpp"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <exception>
#include <vector>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#ifndef O_BINARY
#define O_BINARY 0  // POSIX systems translate no newlines anyway
#endif

namespace kalvert {
namespace {

// One call moves at most this much, so that the count fits every platform's
// read and write (Windows takes an unsigned int).
constexpr std::size_t maxTransfer = std::size_t{1} << 30;

FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

// Reads up to `size` bytes into `text`, in as many calls as it takes; the
// text keeps what was read. False when not one byte could be read.
bool readInto(int descriptor, std::size_t size, std::string& text)
{
    try {
        text.resize(size);
    } catch (const std::exception&) {  // no memory for it, or more than a string holds
        text = std::string();
        return false;
    }
    std::size_t got = 0;
    while (got < size) {
        const std::size_t chunk = size - got < maxTransfer ? size - got : maxTransfer;
        const auto read = ::read(descriptor, text.data() + got, static_cast<unsigned>(chunk));
        if (read < 0 && errno == EINTR) continue;
        if (read <= 0) break;  // a file that shrank since its size was taken keeps what was read
        got += static_cast<std::size_t>(read);
    }
    text.resize(got);
    return got > 0;
}

}  // namespace

namespace {

// Opens, refuses a folder, learns the size; −1 after setting `outcome`.
int openSized(const std::string& path, FileIdentity& identity, std::size_t& size, ReadOutcome& outcome)
{
    const int descriptor = openForReading(path);
    if (descriptor < 0) {
        outcome = ReadOutcome::OpenFailed;
        return -1;
    }
    // A read-only open of a folder succeeds on Linux; a folder is still no input.
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(descriptor);
        outcome = ReadOutcome::OpenFailed;
        return -1;
    }
    identity = identityOf(info);
    const auto end = ::lseek(descriptor, 0, SEEK_END);
    if (end < 0 || ::lseek(descriptor, 0, SEEK_SET) != 0) {
        ::close(descriptor);
        outcome = ReadOutcome::SizeUndefined;
        return -1;
    }
    size = static_cast<std::size_t>(end);
    return descriptor;
}

}  // namespace

// Read-only, and without waiting: a read-only open of a FIFO would otherwise
// wait for a writer; the size check then refuses it.
int openForReading(const std::string& path)
{
#ifdef O_NONBLOCK
    // NOLINTNEXTLINE(misc-redundant-expression): O_RDONLY and O_BINARY are 0 on POSIX systems
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_BINARY);
    if (descriptor >= 0) ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
#else
    return ::open(path.c_str(), O_RDONLY | O_BINARY);
#endif
}

ReadOutcome readWholeFile(const std::string& path, std::string& text, FileIdentity& identity)
{
    ReadOutcome outcome = ReadOutcome::Read;
    std::size_t size = 0;
    const int descriptor = openSized(path, identity, size, outcome);
    if (descriptor < 0) return outcome;
    const bool read = size > 0 && readInto(descriptor, size, text);
    ::close(descriptor);
    if (!read) return ReadOutcome::ReadFailed;

    // The text ends at the first NUL byte.
    text.resize(std::strlen(text.c_str()));
    return ReadOutcome::Read;
}

bool namesSameFile(const std::string& path, const FileIdentity& identity)
{
    if (identity.inode == 0) return false;  // a system without inode numbers (Windows) cannot tell
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    const FileIdentity other = identityOf(info);
    return other.device == identity.device && other.inode == identity.inode;
}

std::optional<FileIdentity> identityAt(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return identityOf(info);
}

bool namesOneOf(const std::string& path, const std::vector<FileIdentity>& sorted)
{
    struct stat info {};
    if (sorted.empty() || ::stat(path.c_str(), &info) != 0) return false;
    const FileIdentity named = identityOf(info);
    if (named.inode == 0) return false;  // a system without inode numbers (Windows) cannot tell
    const auto at = std::lower_bound(sorted.begin(), sorted.end(), named);
    return at != sorted.end() && !(named < *at);
}

int createOutputFile(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY, S_IRUSR | S_IWUSR);
}

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t chunk = bytes.size() < maxTransfer ? bytes.size() : maxTransfer;
        const auto written = ::write(descriptor, bytes.data(), static_cast<unsigned>(chunk));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool closeFile(int descriptor)
{
    return ::close(descriptor) == 0;
}

}  // namespace kalvert
