#pragma once

#include <string>
#include <string_view>

namespace kalvert {

/// Encodings the Russian help texts can be shown in.
enum class ConsoleEncoding {
    Utf8,
    Cp866,  ///< the DOS/OEM Cyrillic code page
    Koi8r,
    Cp1251,  ///< the Windows ANSI Cyrillic code page, the texts' own
    Iso88595,
    WindowsOem  ///< the console's OEM code page through CharToOemA (Windows only)
};

/// The encoding a locale setting names: the first of LC_ALL, LC_CTYPE and
/// LANG that is set and not empty counts; its codeset (between the first "."
/// and an "@" or the end, compared ignoring case, "-" and "_") picks CP866,
/// IBM866, KOI8-R, CP1251 or ISO-8859-5, and anything else means UTF-8.
/// Null pointers stand for unset variables.
ConsoleEncoding consoleEncodingFor(const char* lcAll, const char* lcCtype, const char* lang);

/// The console's encoding: CharToOemA on Windows, else from the environment.
ConsoleEncoding consoleEncoding();

/// Re-encodes a Windows-1251 text; ASCII passes unchanged, bytes that are no
/// Cyrillic letter become "?".
std::string fromCp1251(std::string_view text, ConsoleEncoding encoding);

}  // namespace kalvert
