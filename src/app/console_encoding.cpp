#include "app/console_encoding.hpp"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kalvert {
namespace {

std::string normalisedCodeset(std::string_view locale)
{
    const std::size_t dot = locale.find('.');
    if (dot == std::string_view::npos) return "";
    std::string_view codeset = locale.substr(dot + 1);
    codeset = codeset.substr(0, codeset.find('@'));
    std::string normalised;
    for (const char c : codeset) {
        if (c == '-' || c == '_') continue;
        normalised += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return normalised;
}

// Unicode code point of a Windows-1251 Cyrillic letter, 0 for other bytes.
char32_t cp1251Letter(unsigned char byte)
{
    if (byte >= 0xC0) return U'\u0410' + (byte - 0xC0);  // А … я
    if (byte == 0xA8) return U'\u0401';                  // Ё
    if (byte == 0xB8) return U'\u0451';                  // ё
    return 0;
}

// KOI8-R orders the letters by their Latin look-alikes.
constexpr char32_t koi8rLetters[32] = {U'ю', U'а', U'б', U'ц', U'д', U'е', U'ф', U'г', U'х', U'и', U'й',
                                       U'к', U'л', U'м', U'н', U'о', U'п', U'я', U'р', U'с', U'т', U'у',
                                       U'ж', U'в', U'ь', U'ы', U'з', U'ш', U'э', U'щ', U'ч', U'ъ'};

unsigned char koi8rByte(char32_t letter)
{
    if (letter == U'Ё') return 0xB3;
    if (letter == U'ё') return 0xA3;
    const bool upper = letter < U'а';
    const char32_t lower = upper ? letter + 0x20 : letter;
    for (unsigned i = 0; i < 32; ++i)
        if (koi8rLetters[i] == lower) return static_cast<unsigned char>((upper ? 0xE0 : 0xC0) + i);
    return '?';
}

unsigned char cp866Byte(char32_t letter)
{
    if (letter == U'Ё') return 0xF0;
    if (letter == U'ё') return 0xF1;
    if (letter < U'р') return static_cast<unsigned char>(0x80 + (letter - U'А'));  // А … п
    return static_cast<unsigned char>(0xE0 + (letter - U'р'));                     // р … я
}

unsigned char iso88595Byte(char32_t letter)
{
    if (letter == U'Ё') return 0xA1;
    if (letter == U'ё') return 0xF1;
    return static_cast<unsigned char>(0xB0 + (letter - U'А'));
}

void appendUtf8(std::string& out, char32_t letter)
{
    out += static_cast<char>(0xC0 | (letter >> 6));
    out += static_cast<char>(0x80 | (letter & 0x3F));
}

std::string reencode(std::string_view text, ConsoleEncoding encoding)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
            continue;
        }
        const char32_t letter = cp1251Letter(byte);
        if (letter == 0) {
            out += '?';
            continue;
        }
        switch (encoding) {
        case ConsoleEncoding::Utf8: appendUtf8(out, letter); break;
        case ConsoleEncoding::Koi8r: out += static_cast<char>(koi8rByte(letter)); break;
        case ConsoleEncoding::Iso88595: out += static_cast<char>(iso88595Byte(letter)); break;
        case ConsoleEncoding::Cp1251: out += c; break;
        // Off Windows the OEM code page of a Russian console is CP866.
        case ConsoleEncoding::Cp866:
        case ConsoleEncoding::WindowsOem: out += static_cast<char>(cp866Byte(letter)); break;
        }
    }
    return out;
}

}  // namespace

ConsoleEncoding consoleEncodingFor(const char* lcAll, const char* lcCtype, const char* lang)
{
    const char* locale = nullptr;
    for (const char* candidate : {lcAll, lcCtype, lang}) {
        if (candidate != nullptr && *candidate != '\0') {
            locale = candidate;
            break;
        }
    }
    if (locale == nullptr) return ConsoleEncoding::Utf8;
    const std::string codeset = normalisedCodeset(locale);
    if (codeset == "CP866" || codeset == "IBM866") return ConsoleEncoding::Cp866;
    if (codeset == "KOI8R") return ConsoleEncoding::Koi8r;
    if (codeset == "CP1251") return ConsoleEncoding::Cp1251;
    if (codeset == "ISO88595") return ConsoleEncoding::Iso88595;
    return ConsoleEncoding::Utf8;
}

ConsoleEncoding consoleEncoding()
{
#ifdef _WIN32
    return ConsoleEncoding::WindowsOem;
#else
    return consoleEncodingFor(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
#endif
}

std::string fromCp1251(std::string_view text, ConsoleEncoding encoding)
{
#ifdef _WIN32
    if (encoding == ConsoleEncoding::WindowsOem) {
        // CharToOemA keeps the length; the longest help text is 73 bytes.
        char converted[128] = {};
        const std::string source(text.substr(0, sizeof converted - 1));
        CharToOemA(source.c_str(), converted);
        return converted;
    }
#endif
    return reencode(text, encoding);
}

}  // namespace kalvert
