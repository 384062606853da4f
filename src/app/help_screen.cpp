#include "app/help_screen.hpp"

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace kalvert {
namespace {

// A Russian text held in Windows-1251, as the screen was written; the
// source keeps it readable and the conversion happens at compile time.
struct Cp1251Text {
    char bytes[80] = {};
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
            if (codePoint >= 0x410 && codePoint <= 0x44F) byte = static_cast<unsigned char>(0xC0 + (codePoint - 0x410));
            else if (codePoint == 0x401) byte = 0xA8;
            else if (codePoint == 0x451) byte = 0xB8;
            else throw "not a Cyrillic letter";
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

constexpr HelpLine helpLines[] = {
    {false, 0, "", 0, cp1251(u8"Описание:")},
    {false, 2, versionText, 0, cp1251(u8" - Программа для преобразования из файла в SAC-формате в файл FAP-формата")},
    {true, 0, "", 0, cp1251(u8"Примечания:")},
    {false, 2, "", 0, cp1251(u8"По умолчанию файл в SAC-формате измеряется в Count/(М/сек)")},
    {false, 2, "", 0, cp1251(u8"По умолчанию FAP-файл будет сохранен в формате GSE2")},
    {true, 0, "", 0, cp1251(u8"Использование:")},
    {false, 2, "kalvert.exe IN=SAC_file OUT=FAP_file", 0, cp1251(u8"")},
    {true, 0, "", 0, cp1251(u8"Обязательные параметры:")},
    {false, 2, "IN=", 5, cp1251(u8" - Входной файл в SAC-формате")},
    {false, 2, "OUT=", 5, cp1251(u8" - Выходной файл в FAP-формате")},
    {true, 0, "", 0, cp1251(u8"Дополнительные параметры:")},
    {false, 2, "FREQ=", 10, cp1251(u8" - Задание нижней и верхней частоты через разделитель (;,:)")},
    {false, 2, "NPOINTS=", 10, cp1251(u8" - Число точек (при заданном ключе -LogX => Число точек на декаду)")},
    {false, 2, "-LogX", 10, cp1251(u8" - Используется логарифмическая шкала по оси X")},
    {false, 2, "/LogX", 10, cp1251(u8" - Работает аналогично ключу -LogX")},
    {false, 2, "TYPE_IN=", 10, cp1251(u8" - Тип характеристики {0,1,2} => {Смещение, Скорость, Ускорение}")},
    {false, 2, "TYPE_OUT=", 10, cp1251(u8" - Выходная характеристика в формате:")},
    {false, 4, "TYPE_OUT=QTV", 18, cp1251(u8" - Формат QTV (Смещение, Обратная, мкМ/Count)")},
    {false, 4, "TYPE_OUT=GSE2", 18, cp1251(u8" - Формат GSE2 (Скорость, Прямая, Count/(нМ/сек))")},
    {false, 4, "TYPE_OUT=n1,n2,n3", 18, cp1251(u8" - Произвольный формат, где: ")},
    {false, 6, "n1", 0, cp1251(u8" = {0,1,2} => {Смещение, Скорость, Ускорение}")},
    {false, 6, "n2", 0, cp1251(u8" = {0,1} => {Прямая, Обратная}")},
    {false, 6, "n3", 0, cp1251(u8" = Порядок характеристики. Например: мкМ => -6, нМ => -9")},
    {true, 0, "", 0, cp1251(u8"Возвращаемые значения:")},
    {false, 2, "0", 3, cp1251(u8" => Операция успешно завершена")},
    {false, 2, "-1", 3, cp1251(u8" => Не удалось открыть файл")},
    {false, 2, "-2", 3, cp1251(u8" => Не удалось опредилить размер файла")},
    {false, 2, "-3", 3, cp1251(u8" => Некорректный тип входного файла")},
    {false, 2, "-4", 3, cp1251(u8" => Не удалось преобразовать файл")},
    {false, 2, "-5", 3, cp1251(u8" => Не удалось создать FAP-файл")},
    {false, 2, "-6", 3, cp1251(u8" => Не удалось записать информацию в FAP-файл")},
    {false, 2, "1", 3, cp1251(u8" => Слишком мало параметров командной строки")},
    {false, 2, "2", 3, cp1251(u8" => 1-ым и 2-ым параметром должны быть IN= и OUT=")},
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
    const std::string screen = helpScreenText(consoleEncoding());
    std::fwrite(screen.data(), 1, screen.size(), stdout);
}

}  // namespace kalvert
