#include "app/file_access.hpp"

#include <cstddef>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <new>
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
constexpr std::size_t maxTransfer = 1u << 30;

}  // namespace

ReadOutcome readWholeFile(const std::string& path, std::string& text)
{
    const int descriptor = ::open(path.c_str(), O_RDWR | O_BINARY);
    if (descriptor < 0) return ReadOutcome::OpenFailed;

    const auto size = ::lseek(descriptor, 0, SEEK_END);
    if (size < 0 || ::lseek(descriptor, 0, SEEK_SET) != 0) {
        ::close(descriptor);
        return ReadOutcome::SizeUndefined;
    }

    const std::size_t wanted =
        static_cast<std::size_t>(size) < maxTransfer ? static_cast<std::size_t>(size) : maxTransfer;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[wanted + 1]());
    const auto got = (buffer && wanted > 0) ? ::read(descriptor, buffer.get(), static_cast<unsigned>(wanted)) : 0;
    ::close(descriptor);
    if (got <= 0) return ReadOutcome::ReadFailed;

    // A shorter read is accepted; the text ends at the first NUL either way.
    text.assign(buffer.get());
    return ReadOutcome::Read;
}

int createOutputFile(const std::string& path)
{
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_BINARY, S_IRUSR | S_IWUSR);
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
