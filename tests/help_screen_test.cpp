#include "app/help_screen.hpp"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/console_encoding.hpp"

namespace kalvert {
namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(HelpScreen, Utf8ScreenMatchesTheReferenceLineByLine)
{
    const std::vector<std::string> screen = linesOf(helpScreenText(ConsoleEncoding::Utf8));
    ASSERT_EQ(screen.size(), 38u);  // 33 lines and the empty lines before five headings
    // The padding rules, spelled out.
    EXPECT_EQ(screen[0], "\xD0\x9E\xD0\xBF\xD0\xB8\xD1\x81\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5:");  // Описание:
    EXPECT_EQ(screen[1].substr(0, 16), "  Kalvert v1.3.1");
    EXPECT_EQ(screen[2], "");
    EXPECT_EQ(screen[8], "  kalvert.exe IN=SAC_file OUT=FAP_file");
    EXPECT_EQ(screen[11].substr(0, 10), "  IN=   - ");
    EXPECT_EQ(screen[12].substr(0, 10), "  OUT=  - ");
    EXPECT_EQ(screen[15].substr(0, 15), "  FREQ=      - ");
    EXPECT_EQ(screen[20].substr(0, 15), "  TYPE_OUT=  - ");
    EXPECT_EQ(screen[21].substr(0, 25), "    TYPE_OUT=QTV       - ");
    EXPECT_EQ(screen[23].substr(0, 25), "    TYPE_OUT=n1,n2,n3  - ");
    EXPECT_EQ(screen[23].back(), ' ');  // "где: " keeps its trailing space
    EXPECT_EQ(screen[24].substr(0, 11), "      n1 = ");
    EXPECT_EQ(screen[26].substr(0, 11), "      n3 = ");
    EXPECT_EQ(screen[29].substr(0, 8), "  0   =>");
    EXPECT_EQ(screen[30].substr(0, 8), "  -1  =>");
    EXPECT_EQ(screen[37].substr(0, 8), "  2   =>");

    std::ifstream reference(KALVERT_TEST_DATA "/help_screen.utf8.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << reference.rdbuf();
    const std::vector<std::string> expected = linesOf(bytes.str());
    ASSERT_EQ(expected.size(), screen.size());
    for (std::size_t i = 0; i < screen.size(); ++i) EXPECT_EQ(screen[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(helpScreenText(ConsoleEncoding::Utf8), bytes.str());
}

TEST(HelpScreen, EveryEncodingKeepsTheLatinPartsAndTheLineCount)
{
    const std::string utf8 = helpScreenText(ConsoleEncoding::Utf8);
    for (const ConsoleEncoding encoding : {ConsoleEncoding::Cp866, ConsoleEncoding::Koi8r, ConsoleEncoding::Cp1251,
                                           ConsoleEncoding::Iso88595}) {
        const std::vector<std::string> screen = linesOf(helpScreenText(encoding));
        ASSERT_EQ(screen.size(), 38u);
        EXPECT_EQ(screen[8], "  kalvert.exe IN=SAC_file OUT=FAP_file");
        EXPECT_EQ(screen[21].substr(0, 25), "    TYPE_OUT=QTV       - ");
        // One byte a letter: the longest text, 73 letters and signs, stays 73 bytes.
        EXPECT_EQ(screen[1].size(), 16u + 73u);
    }
}

TEST(ConsoleEncoding, WholeAlphabet)
{
    const std::string alphabet =
         "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF"
         "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"
         "\xA8\xB8";
    struct Case {
        ConsoleEncoding encoding;
        std::string expected;
    };
    const Case cases[] = {
        {ConsoleEncoding::Cp866,
         "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F"
         "\xA0\xA1\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
         "\xF0\xF1"},
        {ConsoleEncoding::Koi8r,
         "\xE1\xE2\xF7\xE7\xE4\xE5\xF6\xFA\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF2\xF3\xF4\xF5\xE6\xE8\xE3\xFE\xFB\xFD\xFF\xF9\xF8\xFC\xE0\xF1"
         "\xC1\xC2\xD7\xC7\xC4\xC5\xD6\xDA\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD2\xD3\xD4\xD5\xC6\xC8\xC3\xDE\xDB\xDD\xDF\xD9\xD8\xDC\xC0\xD1"
         "\xB3\xA3"},
        {ConsoleEncoding::Iso88595,
         "\xB0\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xBB\xBC\xBD\xBE\xBF\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
         "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
         "\xA1\xF1"},
        {ConsoleEncoding::Utf8,
         "\xD0\x90\xD0\x91\xD0\x92\xD0\x93\xD0\x94\xD0\x95\xD0\x96\xD0\x97\xD0\x98\xD0\x99\xD0\x9A\xD0\x9B\xD0\x9C\xD0\x9D\xD0\x9E\xD0\x9F"
         "\xD0\xA0\xD0\xA1\xD0\xA2\xD0\xA3\xD0\xA4\xD0\xA5\xD0\xA6\xD0\xA7\xD0\xA8\xD0\xA9\xD0\xAA\xD0\xAB\xD0\xAC\xD0\xAD\xD0\xAE\xD0\xAF"
         "\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4\xD0\xB5\xD0\xB6\xD0\xB7\xD0\xB8\xD0\xB9\xD0\xBA\xD0\xBB\xD0\xBC\xD0\xBD\xD0\xBE\xD0\xBF"
         "\xD1\x80\xD1\x81\xD1\x82\xD1\x83\xD1\x84\xD1\x85\xD1\x86\xD1\x87\xD1\x88\xD1\x89\xD1\x8A\xD1\x8B\xD1\x8C\xD1\x8D\xD1\x8E\xD1\x8F"
         "\xD0\x81\xD1\x91"},
    };
    for (const Case& c : cases) EXPECT_EQ(fromCp1251(alphabet, c.encoding), c.expected);
    EXPECT_EQ(fromCp1251(alphabet, ConsoleEncoding::Cp1251), alphabet);
    EXPECT_EQ(fromCp1251(alphabet, ConsoleEncoding::WindowsOem), fromCp1251(alphabet, ConsoleEncoding::Cp866));
    EXPECT_EQ(fromCp1251("IN= \x96\x80", ConsoleEncoding::Utf8), "IN= ??");
}

TEST(ConsoleEncoding, ChosenFromTheLocaleVariables)
{
    struct Case {
        const char* lcAll;
        const char* lcCtype;
        const char* lang;
        ConsoleEncoding expected;
    };
    using E = ConsoleEncoding;
    const Case cases[] = {
        {nullptr, nullptr, nullptr, E::Utf8},
        {nullptr, nullptr, "ru_RU.UTF-8", E::Utf8},
        {nullptr, nullptr, "ru_RU.CP866", E::Cp866},
        {nullptr, nullptr, "ru_RU.ibm866", E::Cp866},
        {nullptr, nullptr, "ru_RU.KOI8-R", E::Koi8r},
        {nullptr, nullptr, "ru_RU.koi8r@euro", E::Koi8r},
        {nullptr, nullptr, "ru_RU.CP1251", E::Cp1251},
        {nullptr, nullptr, "ru_RU.WINDOWS-1251", E::Utf8},
        {nullptr, nullptr, "ru_RU.ISO-8859-5", E::Iso88595},
        {nullptr, nullptr, "ru_RU.iso_8859_5", E::Iso88595},
        {nullptr, nullptr, "ru_RU", E::Utf8},
        {nullptr, nullptr, "C", E::Utf8},
        {nullptr, nullptr, "POSIX", E::Utf8},
        {"", "ru_RU.KOI8-R", "ru_RU.CP866", E::Koi8r},
        {"ru_RU.CP1251", "ru_RU.KOI8-R", "ru_RU.CP866", E::Cp1251},
        {"C.UTF-8", "ru_RU.KOI8-R", nullptr, E::Utf8},
        {"", "", "ru_RU.CP866", E::Cp866},
    };
    for (const Case& c : cases)
        EXPECT_EQ(consoleEncodingFor(c.lcAll, c.lcCtype, c.lang), c.expected)
            << (c.lcAll ? c.lcAll : "-") << " " << (c.lcCtype ? c.lcCtype : "-") << " " << (c.lang ? c.lang : "-");
}

}  // namespace
}  // namespace kalvert
