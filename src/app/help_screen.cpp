#include "app/help_screen.hpp"

#include <cstddef>
#include <cstdio>
#include <new>
#include <string_view>

namespace kalvert {
namespace {

// A Russian text held in Windows-1251, as the screen was written; the
// source keeps it readable and the conversion happens at compile time.
struct Cp1251Text {
    char bytes[80] = {};  // the longest text has 73 bytes
    std::size_t size = 0;
};

template <std::size_t N>
consteval Cp1251Text cp1251(const char8_t (&utf8)[N])
{
    Cp1251Text text;
    for (std::size_t i = 0; i + 1 < N; ++i) {
        const unsigned lead = utf8[i];
        unsigned char byte = 0;
        if (lead < 0x80) {
            byte = static_cast<unsigned char>(lead);
        } else {
            // Two-byte sequences only: the texts hold ASCII and Cyrillic letters.
            if ((lead & 0xE0) != 0xC0 || i + 2 >= N) throw "unsupported character";
            const unsigned codePoint = ((lead & 0x1F) << 6) | (utf8[++i] & 0x3F);
            if (codePoint >= 0x410 && codePoint <= 0x44F)
                byte = static_cast<unsigned char>(0xC0 + (codePoint - 0x410));
            else if (codePoint == 0x401)
                byte = 0xA8;
            else if (codePoint == 0x451)
                byte = 0xB8;
            else
                throw "not a Cyrillic letter";
        }
        if (text.size + 1 >= sizeof text.bytes) throw "text too long";
        text.bytes[text.size++] = static_cast<char>(byte);
    }
    return text;
}

// One screen line: an optional empty line before it, `indent` spaces, the
// Latin label left-justified in `labelWidth` columns, the Russian text.
struct HelpLine {
    bool blankLineBefore;
    int indent;
    const char* label;
    int labelWidth;
    Cp1251Text text;
};

// Indents and label columns of the screen's printf formats: "%-2s%-5s%s"
// for the required arguments, "%-2s%-10s%s" for the optional ones,
// "%-4s%-18s%s" for the TYPE_OUT examples, "%-6sn1%s" for their fields and
// "%-2s%-3s%s" for the exit codes.
constexpr int heading = 0;
constexpr int item = 2;
constexpr int example = 4;
constexpr int exampleField = 6;
constexpr int unpadded = 0;
constexpr int requiredColumns = 5;
constexpr int optionColumns = 10;
constexpr int exampleColumns = 18;
constexpr int exitCodeColumns = 3;

constexpr HelpLine helpLines[] = {
    {false, heading, "", unpadded, cp1251(u8"Описание:")},
    {false, item, versionText, unpadded,
     cp1251(u8" - Программа для преобразования из файла в SAC-формате в файл FAP-формата")},
    {true, heading, "", unpadded, cp1251(u8"Примечания:")},
    {false, item, "", unpadded, cp1251(u8"По умолчанию файл в SAC-формате измеряется в Count/(М/сек)")},
    {false, item, "", unpadded, cp1251(u8"По умолчанию FAP-файл будет сохранен в формате GSE2")},
    {true, heading, "", unpadded, cp1251(u8"Использование:")},
    {false, item, "kalvert.exe IN=SAC_file OUT=FAP_file", unpadded, cp1251(u8"")},
    {true, heading, "", unpadded, cp1251(u8"Обязательные параметры:")},
    {false, item, "IN=", requiredColumns, cp1251(u8" - Входной файл в SAC-формате")},
    {false, item, "OUT=", requiredColumns, cp1251(u8" - Выходной файл в FAP-формате")},
    {true, heading, "", unpadded, cp1251(u8"Дополнительные параметры:")},
    {false, item, "FREQ=", optionColumns, cp1251(u8" - Задание нижней и верхней частоты через разделитель (;,:)")},
    {false, item, "NPOINTS=", optionColumns,
     cp1251(u8" - Число точек (при заданном ключе -LogX => Число точек на декаду)")},
    {false, item, "-LogX", optionColumns, cp1251(u8" - Используется логарифмическая шкала по оси X")},
    {false, item, "/LogX", optionColumns, cp1251(u8" - Работает аналогично ключу -LogX")},
    {false, item, "TYPE_IN=", optionColumns,
     cp1251(u8" - Тип характеристики {0,1,2} => {Смещение, Скорость, Ускорение}")},
    {false, item, "TYPE_OUT=", optionColumns, cp1251(u8" - Выходная характеристика в формате:")},
    {false, example, "TYPE_OUT=QTV", exampleColumns, cp1251(u8" - Формат QTV (Смещение, Обратная, мкМ/Count)")},
    {false, example, "TYPE_OUT=GSE2", exampleColumns, cp1251(u8" - Формат GSE2 (Скорость, Прямая, Count/(нМ/сек))")},
    {false, example, "TYPE_OUT=n1,n2,n3", exampleColumns, cp1251(u8" - Произвольный формат, где: ")},
    {false, exampleField, "n1", unpadded, cp1251(u8" = {0,1,2} => {Смещение, Скорость, Ускорение}")},
    {false, exampleField, "n2", unpadded, cp1251(u8" = {0,1} => {Прямая, Обратная}")},
    {false, exampleField, "n3", unpadded, cp1251(u8" = Порядок характеристики. Например: мкМ => -6, нМ => -9")},
    {true, heading, "", unpadded, cp1251(u8"Возвращаемые значения:")},
    {false, item, "0", exitCodeColumns, cp1251(u8" => Операция успешно завершена")},
    {false, item, "-1", exitCodeColumns, cp1251(u8" => Не удалось открыть файл")},
    {false, item, "-2", exitCodeColumns, cp1251(u8" => Не удалось опредилить размер файла")},
    {false, item, "-3", exitCodeColumns, cp1251(u8" => Некорректный тип входного файла")},
    {false, item, "-4", exitCodeColumns, cp1251(u8" => Не удалось преобразовать файл")},
    {false, item, "-5", exitCodeColumns, cp1251(u8" => Не удалось создать FAP-файл")},
    {false, item, "-6", exitCodeColumns, cp1251(u8" => Не удалось записать информацию в FAP-файл")},
    {false, item, "1", exitCodeColumns, cp1251(u8" => Слишком мало параметров командной строки")},
    {false, item, "2", exitCodeColumns, cp1251(u8" => 1-ым и 2-ым параметром должны быть IN= и OUT=")},
};

}  // namespace

std::string helpScreenText(ConsoleEncoding encoding)
{
    std::string screen;
    for (const HelpLine& line : helpLines) {
        if (line.blankLineBefore) screen += '\n';
        screen.append(static_cast<std::size_t>(line.indent), ' ');
        const std::string_view label = line.label;
        screen += label;
        if (label.size() < static_cast<std::size_t>(line.labelWidth))
            screen.append(static_cast<std::size_t>(line.labelWidth) - label.size(), ' ');
        screen += fromCp1251(std::string_view(line.text.bytes, line.text.size), encoding);
        screen += '\n';
    }
    return screen;
}

void printHelpScreen()
{
    try {
        const std::string screen = helpScreenText(consoleEncoding());
        std::fwrite(screen.data(), 1, screen.size(), stdout);
    } catch (const std::bad_alloc&) {
        // Without memory for the screen the run goes on without it; its own
        // stages report what memory they cannot get.
    }
}

}  // namespace kalvert
