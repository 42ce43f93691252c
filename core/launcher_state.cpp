#include "core/launcher_state.h"

namespace rivo {

KeyStringTable CommandTable;
KeyStringTable WorkDirTable;
KeyStringTable KeyNameTable;
std::string ProgramDir;

namespace {

struct NamedKey {
    int code;
    const char* name;
};

// Names are code page 932 bytes (the sources are compiled with -fexec-charset=CP932).
constexpr NamedKey kNamedKeys[] = {
    {8, "BackSpace"},
    {9, "Tab"},
    {12, "Clear"},
    {13, "Enter"},
    {16, "Shift"},
    {17, "Ctrl"},
    {18, "Alt"},
    {19, "Pause"},
    {20, "CapsLock"},
    {21, "英数カナ"},
    {29, "無変換"},
    {32, "Space"},
    {33, "PageUp"},
    {34, "PageDown"},
    {35, "End"},
    {36, "Home"},
    {37, "←"},
    {38, "↑"},
    {39, "→"},
    {40, "↓"},
    {41, "BackSpace"},
    {42, "OEM指定"},
    {43, "Execute"},
    {44, "PrintScreen"},
    {45, "Ins"},
    {46, "Del"},
    {47, "Help"},
    {91, "左Windowsキー"},
    {92, "右Windowsキー"},
    {93, "右クリックキー"},
    {106, "NUM*"},
    {107, "NUM+"},
    {108, "Separator"},
    {109, "NUM-"},
    {110, "NUM."},
    {111, "NUM/"},
    {144, "Num Lock"},
    {145, "Scroll Lock"},
    {186, ":"},
    {187, ";"},
    {188, ","},
    {189, "-"},
    {190, "."},
    {191, "/"},
    {192, "@"},
    {219, "["},
    {220, "\x5C"},
    {221, "]"},
    {222, "^"},
    {226, "\x81\x5F"},
    {229, "半角/全角(漢字)"},
};

}  // namespace

void BuildKeyNameTable(KeyStringTable& table) {
    for (auto& name : table) {
        name.clear();
    }
    for (int code = 48; code <= 90; ++code) {
        table[code] = std::string(1, static_cast<char>(code));
    }
    for (const auto& key : kNamedKeys) {
        table[key.code] = key.name;
    }
    for (int digit = 0; digit <= 9; ++digit) {
        table[96 + digit] = std::string("NUM").append(1, static_cast<char>('0' + digit));
    }
    for (int n = 1; n <= 24; ++n) {
        table[111 + n] = std::string("F").append(std::to_string(n));
    }
}

}  // namespace rivo
