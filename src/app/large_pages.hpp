#pragma once

#include <cstddef>

namespace kalvert {

/// Asks the system to back the whole 2 MiB pages inside [data, data + bytes)
/// with large pages, where it can: a grid of millions of points then costs a
/// few hundred page faults instead of tens of thousands. Only advice: it
/// changes no byte and is a no-op where the system has no such pages.
void adviseLargePages(const void* data, std::size_t bytes);

}  // namespace kalvert
