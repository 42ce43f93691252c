#include "tests/win/profile_corpus_cases.h"

#include <string>

namespace rivo::test {

namespace {

// Wine 8's differences, as they are quoted in the assertions.
const char kWineCommentEntries[] = "Wine stores comment lines as entries, so a key named ';...' can be read";
const char kWineLastBracket[] = "Wine ends a section name at the last ']'";
const char kWineNoBracketIsEntry[] =
    "Wine treats a header line without ']' as an entry of the previous section";
const char kWinePreambleSection[] = "Wine treats text before the first header as a section named \"\"";
const char kWineArgumentBlanks[] = "Wine strips tabs, not only spaces, around the names passed as arguments";
const char kWineRebuilds[] =
    "Wine rebuilds the whole file on every write (line ends, blank lines, indentation, spaces around '=')";
const char kWineCommentPlacement[] =
    "Wine rebuilds the file and appends a new key after the comments that end its section";
const char kWineHeaderText[] =
    "Wine rebuilds each header as [name], dropping blanks and text around the name";
const char kWineUtf8Mark[] = "Wine recognises the UTF-8 mark and re-encodes what it writes as UTF-8";

std::vector<CorpusCase> Build() {
    std::vector<CorpusCase> cases;
    auto add = [&cases](CorpusCase c) {
        if (c.writeSection.empty()) {
            c.writeSection = "Rivo";
        }
        if (c.existingKey.empty()) {
            c.existingKey = "0";
        }
        cases.push_back(std::move(c));
    };
    const std::string notepad = R"(0=C:\Windows\System32\notepad.exe)";

    add({.file = "basic_crlf.ini", .extraProbes = {{"Other", "0"}, {"Rivo", "key"}}});
    add({.file = "line_endings_lf.ini",
         .wineWriteDifference = kWineRebuilds,
         .existingLine = notepad,
         .anchorLine = "Top=10"});
    add({.file = "line_endings_cr.ini",
         .wineWriteDifference = kWineRebuilds,
         .existingLine = notepad,
         .anchorLine = "Top=10"});
    add({.file = "line_endings_mixed.ini",
         .wineWriteDifference = kWineRebuilds,
         .existingLine = "0=crlf",
         .anchorLine = "3=last crlf"});
    add({.file = "no_final_newline.ini"});
    add({.file = "no_final_newline_other_section.ini"});
    add({.file = "empty_file.ini", .extraProbes = {{"Rivo", "0"}, {"", "0"}}});

    add({.file = "comments_semicolon.ini",
         .extraProbes = {{"Rivo", "; the notepad key"},
                         {"Rivo", ";300"},
                         {"Rivo", ";600"},
                         {"Rivo", "; a"},
                         {"Rivo", "; indented comment"},
                         {"Other", ";only"},
                         {"", "; Rivo settings"}},
         .windowsReads = {{"Rivo", ";300", std::nullopt, kWineCommentEntries},
                          {"Rivo", ";600", std::nullopt, kWineCommentEntries},
                          {"Rivo", "; a", std::nullopt, kWineCommentEntries},
                          {"Other", ";only", std::nullopt, kWineCommentEntries}},
         .wineWriteDifference = kWineCommentPlacement,
         .existingLine = "0=notepad.exe",
         .anchorLine = R"(300=C:\Windows)"});
    add({.file = "comments_midline.ini", .extraProbes = {{"Other", "k"}, {"Rivo", "0=notepad.exe "}}});
    add({.file = "comments_hash.ini",
         .extraProbes = {{"Rivo", "# hash line without equals"}, {"Rivo", "#[Other]"}, {"Other", "k"}}});
    add({.file = "blank_lines.ini",
         .extraProbes = {{"Rivo", ""}},
         .wineWriteDifference = kWineRebuilds,
         .existingLine = "0=a",
         .anchorLine = "1=b"});

    add({.file = "duplicate_keys.ini"});
    add({.file = "duplicate_sections.ini",
         .extraProbes = {{"Rivo", "1"}, {"Rivo", "2"}, {"Other", "j"}, {"rivo", "2"}}});
    add({.file = "lines_without_equals.ini",
         .extraProbes = {{"Rivo", "just text"}, {"Rivo", "another line"}, {"Other", "lonely"}}});

    add({.file = "quotes_double.ini"});
    add({.file = "quotes_single.ini"});
    add({.file = "quotes_unmatched.ini"});

    add({.file = "spaces_tabs_around.ini",
         .extraProbes = {{"Rivo", "my  key"}, {"\tRivo", "0"}, {"Rivo", "\t1"}, {"Rivo", "\v2"}},
         .windowsReads = {{"\tRivo", std::nullopt, std::nullopt, kWineArgumentBlanks},
                          {"Rivo", "\t1", std::nullopt, kWineArgumentBlanks},
                          {"Rivo", "\v2", std::nullopt, kWineArgumentBlanks}},
         .wineWriteDifference = kWineRebuilds,
         .existingLine = "  0  =  padded value  ",
         .anchorLine = "my key = my value"});
    add({.file = "empty_values.ini"});
    add({.file = "equals_in_value.ini"});
    add({.file = "case_names.ini",
         .extraProbes = {{"ｒｉｖｏ", "Ｋｅｙ"}, {"ＲＩＶＯ", "ｋｅｙ"}, {"ＲＩＶＯ", "Ｋｅｙ"}},
         .writeSection = "rIVO",
         .existingKey = "KEY1"});

    add({.file = "sjis_names_values.ini",
         .extraProbes = {{"表示", "表 "}, {"表示", "ソ"}, {"表", "表"}},
         .writeSection = "表示",
         .existingKey = "表"});
    add({.file = "sjis_trail_brackets.ini",
         .extraProbes = {{"ア", "x"}, {"ゾ", "ゾ"}, {"\x83", "ゾ"}},
         .windowsReads = {{"ア", "x", "3", kWineLastBracket},
                          {"ア]ゾ", std::nullopt, std::nullopt, kWineLastBracket}},
         .writeSection = "ゾーン",
         .existingKey = "ゾ"});
    add({.file = "sjis_case.ini",
         .extraProbes = {{"ア", "ヂ"}, {"ヂ", "ア"}, {"ア", "aア"}, {"ア", "ｲ"}, {"Rivo", "ａ"}},
         .writeSection = "ア",
         .existingKey = "ア"});

    add({.file = "utf16le_bom.ini", .extraProbes = {{"Rivo", "メモ"}}});
    add({.file = "utf8_bom.ini",
         .wineWriteDifference = kWineUtf8Mark,
         .existingLine = "0=notepad.exe",
         .anchorLine = "Top=3",
         .kernel32ReadsBack = false});

    add({.file = "missing_bracket.ini",
         .extraProbes =
             {{"Rivo", "0"}, {"ゾ", "1"}, {"Other", "1"}, {"Other", "[ゾ"}, {"", "0"}, {"", "[Rivo"}},
         .windowsReads = {{"Rivo", "0", "a", kWineNoBracketIsEntry},
                          {"ゾ", "1", "b", kWineNoBracketIsEntry},
                          {"Other", "1", std::nullopt, kWineNoBracketIsEntry},
                          {"", std::nullopt, std::nullopt, kWinePreambleSection}},
         .wineWriteDifference = kWineHeaderText,
         .existingLine = "0=a",
         .anchorLine = "0=a"});
    add({.file = "text_after_bracket.ini",
         .extraProbes = {{"Other", "k"}, {"Third", "x"}, {"Rivo] trailing text", "0"}},
         .windowsReads = {{"Other", "k", "v", kWineLastBracket},
                          {"Other]", std::nullopt, std::nullopt, kWineLastBracket},
                          {"Third", "x", "1", kWineLastBracket},
                          {"Third] ; comment", std::nullopt, std::nullopt, kWineLastBracket}},
         .wineWriteDifference = kWineHeaderText,
         .existingLine = "0=a",
         .anchorLine = "0=a"});
    add({.file = "spaces_in_brackets.ini",
         .extraProbes = {{"Two  Words", "k"}, {"TwoWords", "k"}},
         .wineWriteDifference = kWineHeaderText,
         .existingLine = "0=a",
         .anchorLine = "0=a"});
    add({.file = "section_header_indented.ini",
         .wineWriteDifference = kWineRebuilds,
         .existingLine = "0=a",
         .anchorLine = "0=a"});
    add({.file = "text_before_first_section.ini",
         .extraProbes = {{"", "0"}, {"", "Top"}, {"", "orphan line"}},
         .windowsReads = {{"", std::nullopt, std::nullopt, kWinePreambleSection}}});

    // Windows cannot read values longer than 65,535 characters; the engine reads them whole.
    add({.file = "long_values.ini",
         .windowsReads = {
             {"Rivo", "2", std::string(70000, 'y'), "Windows itself stops at 65,535 characters"}}});

    add({.file = "rivo_full_775.ini",
         .extraProbes = {{"Rivo", "256"}, {"Rivo", "556"}},
         .existingKey = "65"});
    add({.file = "rivo_partial.ini",
         .extraProbes = {{"Rivo", "Key1"}, {"Rivo", "FormType"}},
         .existingKey = "65"});
    add({.file = "rivo_hand_edited.ini",
         .extraProbes = {{"Rivo", ";EndKey"}, {"Rivo", "EndKey"}, {"Rivo", "; editors"}},
         .windowsReads = {{"Rivo", ";EndKey", std::nullopt, kWineCommentEntries}},
         .existingKey = "65",
         .wineWriteDifference = kWineRebuilds,
         .existingLine = R"(  65 = "C:\Program Files\Kumo Editor\kumo.exe")",
         .anchorLine = "FormType=258"});
    return cases;
}

}  // namespace

const std::vector<CorpusCase>& CorpusCases() {
    static const std::vector<CorpusCase> cases = Build();
    return cases;
}

void PrintTo(const CorpusCase& c, std::ostream* os) {
    *os << c.file;
}

}  // namespace rivo::test
