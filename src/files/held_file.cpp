#include "files/held_file.hpp"

#include <cerrno>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kalvert {
namespace {

FileSnapshot snapshotOf(const struct stat& info)
{
    FileSnapshot taken;
    taken.identity = {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
    taken.size = static_cast<long long>(info.st_size);
#if defined(__linux__)
    taken.changedSeconds = static_cast<long long>(info.st_mtim.tv_sec);
    taken.changedNanoseconds = static_cast<long long>(info.st_mtim.tv_nsec);
#else
    taken.changedSeconds = static_cast<long long>(info.st_mtime);
#endif
    return taken;
}

// Reads at `offset` until `size` bytes are in or the file ends; −1 on an error.
long long readAt(int descriptor, char* into, std::size_t size, long long offset)
{
    std::size_t got = 0;
    while (got < size) {
        if (::lseek(descriptor, static_cast<off_t>(offset) + static_cast<off_t>(got), SEEK_SET) < 0) return -1;
        const auto read = ::read(descriptor, into + got, static_cast<unsigned>(size - got));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) return -1;
        if (read == 0) break;
        got += static_cast<std::size_t>(read);
    }
    return static_cast<long long>(got);
}

}  // namespace

HeldFile::HeldFile(HeldFile&& other) noexcept
    : descriptor_(other.descriptor_), path_(std::move(other.path_)), taken_(other.taken_)
{
    other.descriptor_ = -1;
}

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept
{
    if (this != &other) {
        if (descriptor_ >= 0) ::close(descriptor_);
        descriptor_ = other.descriptor_;
        path_ = std::move(other.path_);
        taken_ = other.taken_;
        other.descriptor_ = -1;
    }
    return *this;
}

HeldFile::~HeldFile()
{
    if (descriptor_ >= 0) ::close(descriptor_);
}

ReadOutcome HeldFile::open(const std::string& path)
{
    const int descriptor = openForReading(path);
    if (descriptor < 0) return ReadOutcome::OpenFailed;
    *this = HeldFile();
    descriptor_ = descriptor;
    path_ = path;
    struct stat info {};
    // A read-only open of a folder succeeds on Linux; a folder is still no input.
    if (::fstat(descriptor, &info) != 0 || S_ISDIR(info.st_mode)) return ReadOutcome::OpenFailed;
    taken_ = snapshotOf(info);
    if (!S_ISREG(info.st_mode)) {
        // A pipe or FIFO has no size, and cannot be read twice.
        const auto end = ::lseek(descriptor, 0, SEEK_END);
        if (end < 0) return ReadOutcome::SizeUndefined;
        taken_.size = static_cast<long long>(end);
    }
    return ReadOutcome::Read;
}

ReadOutcome HeldFile::readStart(std::size_t most, std::string& text) const
{
    const std::size_t size =
        static_cast<std::size_t>(taken_.size) < most ? static_cast<std::size_t>(taken_.size) : most;
    try {
        text.resize(size);
    } catch (const std::exception&) {
        text = std::string();
        return ReadOutcome::ReadFailed;
    }
    const long long got = size == 0 ? 0 : readAt(descriptor_, text.data(), size, 0);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return got > 0 ? ReadOutcome::Read : ReadOutcome::ReadFailed;
}

std::function<std::string_view()> HeldFile::pieces() const
{
    constexpr std::size_t pieceSize = std::size_t{1} << 20;
    const auto buffer = std::make_shared<std::vector<char>>(pieceSize);
    return [descriptor = descriptor_, buffer, offset = 0LL]() mutable -> std::string_view {
        const long long got = readAt(descriptor, buffer->data(), buffer->size(), offset);
        if (got < 0) throw std::runtime_error("the file could not be read again");
        offset += got;
        return {buffer->data(), static_cast<std::size_t>(got)};
    };
}

bool HeldFile::unchanged() const
{
    struct stat now {};
    struct stat atPath {};
    if (descriptor_ < 0 || ::fstat(descriptor_, &now) != 0 || ::stat(path_.c_str(), &atPath) != 0) return false;
    const FileSnapshot held = snapshotOf(now);
    const FileSnapshot named = snapshotOf(atPath);
    return held.size == taken_.size && held.changedSeconds == taken_.changedSeconds &&
           held.changedNanoseconds == taken_.changedNanoseconds && named.identity.device == taken_.identity.device &&
           named.identity.inode == taken_.identity.inode;
}

}  // namespace kalvert
