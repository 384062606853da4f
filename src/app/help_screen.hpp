#pragma once

#include <string>

#include "app/console_encoding.hpp"
#include "app/version.hpp"

namespace kalvert {

/// The 33 lines of the Russian reference screen, its texts re-encoded from
/// Windows-1251 for `encoding`; the Latin parts are unchanged.
std::string helpScreenText(ConsoleEncoding encoding);

/// Prints the help screen to standard output in the console's encoding.
void printHelpScreen();

}  // namespace kalvert
