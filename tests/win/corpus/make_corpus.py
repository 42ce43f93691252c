#!/usr/bin/env python3
"""Writes the INI corpus the side-by-side profile tests run on, byte for byte.

Run from anywhere: python3 make_corpus.py. Every file is named by what it exercises. Text is
given as Python strings and encoded to code page 932, except where a file needs other bytes
(UTF-16LE, a UTF-8 mark, CR-only lines).
"""

import os

HERE = os.path.dirname(os.path.abspath(__file__))


def sj(text):
    return text.encode("cp932")


def lines(*items, end="\r\n", final=True):
    body = end.join(items)
    return sj(body + (end if final else ""))


# A launcher that has been used for a while: editors, tools, documents, a share, a URL, Japanese
# folders whose names hold the trail bytes 0x5C (表 予 ソ 能 十) and 0x5D (ゾ).
REGISTRATIONS = {
    0x41: (r"C:\Program Files\Kumo Editor\kumo.exe", r"C:\Program Files\Kumo Editor"),
    0x42: (r"C:\Program Files (x86)\Hoshi Browser\hoshi.exe", ""),
    0x43: (r"C:\Windows\System32\calc.exe", r"C:\Windows\System32"),
    0x44: (r"C:\Users\田中\Documents\予算表.xls", r"C:\Users\田中\Documents"),
    0x45: (r"C:\Program Files\Kumo Mail\kmail.exe", r"C:\Program Files\Kumo Mail"),
    0x46: (r"D:\ソフト\ゾーン\tool.exe", r"D:\ソフト\ゾーン"),
    0x4E: (r"C:\Windows\notepad.exe", ""),
    0x50: (r"\\fileserver\share\能力表.doc", r"\\fileserver\share"),
    0x54: (r"C:\Tools\十字キー設定\keys.exe", r"C:\Tools\十字キー設定"),
    0x57: (r"http://intranet.example.jp/wiki/", ""),
    0x31: (r"C:\Program Files\Ongaku Player\player.exe C:\Music\list.m3u", r"C:\Music"),
    0x70: (r"C:\Windows\System32\cmd.exe /k cd /d C:\work", r"C:\work"),
    0xBA: (r"C:\Users\田中\Desktop\メモ.txt", r"C:\Users\田中\Desktop"),
}
USER_FILTERS = {0x5B, 0x5C}  # the Windows keys, filtered by the user in the options dialog


def full_settings(registrations, filters, top, left, key1=16, key2=17, set_key=45, end_key=46, form_type=0):
    """The 775 entries in the order a first save writes them."""
    entries = []
    forced = {key1, key2, set_key, end_key}
    for k in range(256):
        command, work_dir = registrations.get(k, ("", ""))
        entries.append(f"{k}={command}")
        entries.append(f"{k + 300}={work_dir}")
        entries.append(f"{k + 600}={1 if k in forced or k in filters else 0}")
    entries += [f"Top={top}", f"Left={left}", f"Key1={key1}", f"Key2={key2}", f"SetKey={set_key}",
                f"EndKey={end_key}", f"FormType={form_type}"]
    return ["[Rivo]"] + entries


def corpus():
    files = {}

    basic = ["[Rivo]", r"0=C:\Windows\System32\notepad.exe", r"300=C:\Windows\System32", "600=0", "Top=10",
             "[Other]", "key=value"]
    files["basic_crlf.ini"] = lines(*basic)
    files["line_endings_lf.ini"] = lines(*basic, end="\n")
    files["line_endings_cr.ini"] = lines(*basic, end="\r")
    files["line_endings_mixed.ini"] = sj("[Rivo]\r\n0=crlf\r\n1=lf\n2=cr\r3=last crlf\r\n[Other]\nkey=value\r")
    files["no_final_newline.ini"] = lines("[Rivo]", "0=a", "Top=1", final=False)
    files["no_final_newline_other_section.ini"] = lines("[Rivo]", "0=a", "[Other]", "x=1", final=False)
    files["empty_file.ini"] = b""

    files["comments_semicolon.ini"] = lines(
        "; Rivo settings", ";written by hand", "[Rivo]", "; the notepad key", "0=notepad.exe",
        r";300=C:\old", "  ; indented comment", r"300=C:\Windows", ";600=1", "; a = b", "[Other]",
        ";only=a comment")
    files["comments_midline.ini"] = lines(
        "[Rivo]", "0=notepad.exe ; the editor", "1=a;b", "3=;value", "[Other ; not a comment]", "k=v")
    files["comments_hash.ini"] = lines(
        "[Rivo]", "#0=hash key", "0=value # not a comment", "#=only hash", "# hash line without equals",
        "1=x", "#[Other]", "[#Hash]", "k=v")
    files["blank_lines.ini"] = sj("\r\n[Rivo]\r\n\r\n0=a\r\n\r\n   \r\n\t\r\n1=b\r\n\r\n[Other]\r\n\r\nk=v\r\n\r\n")

    files["duplicate_keys.ini"] = lines("[Rivo]", "0=first", "0=second", "Key1=16", "KEY1=17", "key1=18")
    files["duplicate_sections.ini"] = lines(
        "[Rivo]", "0=first", "[Other]", "k=1", "[Rivo]", "0=second", "1=only in second", "[rivo]",
        "2=third", "[OTHER]", "k=2", "j=only in second other")
    files["lines_without_equals.ini"] = lines(
        "[Rivo]", "just text", "0=a", "another line", "1=b", "[Other]", "lonely")

    files["quotes_double.ini"] = lines(
        "[Rivo]", r'0="C:\Program Files\Kumo Editor\kumo.exe"', '1=" spaced inside "', '2=""', '3="a"b"',
        '5="x', '6=x"', '7="', "8=\"mixed'", '9="表"', '10="ソ"')
    files["quotes_single.ini"] = lines(
        "[Rivo]", r"0='C:\Program Files\Kumo Editor\kumo.exe'", "1=' spaced inside '", "2=''", "3='a'b'",
        "5='x", "6=x'", "7='", "8='mixed\"", "9=it's")
    files["quotes_unmatched.ini"] = lines(
        "[Rivo]", '0="abc', '1=abc"', "2='abc\"", '3="', "4='", '5="""', "6=''''", '7=" "', "8=a\"b\"c")

    files["spaces_tabs_around.ini"] = lines(
        "[Rivo]", "  0  =  padded value  ", "\t1\t=\ttabbed\t", "\v2\v=\vvertical\v",
        '3 = "  quoted keeps spaces  "  ', "   4=x", "5  =", "6=   ", "7=\t", "my key = my value")
    files["empty_values.ini"] = lines("[Rivo]", "0=", "3=\"\"", "Top=", "Left=''")
    files["equals_in_value.ini"] = lines(
        "[Rivo]", "0=a=b", "1==leading equals", "=no name", "2=x = y", "3==")
    files["case_names.ini"] = lines(
        "[Rivo]", "Key1=16", "setkey=45", "ENDKEY=46", "FormType=1", "[other]", "MixedCase=yes",
        "[ＲＩＶＯ]", "Ｋｅｙ=fullwidth")

    files["sjis_names_values.ini"] = lines(
        "[表示]", "表=ソ", r"ソフト=C:\ソフト\表.exe", "能力=十分", "ゾーン=ー", r"予定=C:\予定表",
        "[Rivo]", r"0=D:\ソフト\ゾーン\tool.exe", r"300=D:\ソフト\ゾーン", "600=0")
    files["sjis_trail_brackets.ini"] = lines(
        "[ゾーン]", "ゾ=1", "[ソ]", "ソ=2", "[ア]ゾ]", "x=3", "[ー]", "ゼ=[bracket]", "[表]", r"表=C:\表")
    files["sjis_case.ini"] = lines(
        "[ア]", "ア=katakana a", "ｱ=halfwidth a", "Aア=ascii then kana", "[Rivo]", "Ａ=fullwidth A")

    utf16_text = "[Rivo]\r\n0=C:\\メモ\\表.exe\r\n300=D:\\ソフト\r\nTop=5\r\n[Other]\r\nk=v\r\n"
    files["utf16le_bom.ini"] = b"\xff\xfe" + utf16_text.encode("utf-16-le")
    files["utf8_bom.ini"] = b"\xef\xbb\xbf" + lines("[Rivo]", "0=notepad.exe", "Top=3", "[Other]", "k=v")

    files["missing_bracket.ini"] = lines("[Rivo", "0=a", "[Other]", "k=v", "[ゾ", "1=b")
    files["text_after_bracket.ini"] = lines(
        "[Rivo] trailing text", "0=a", "[Other]]", "k=v", "[Third] ; comment]", "x=1", "[ソ]ゾ", "y=2")
    files["spaces_in_brackets.ini"] = lines("[ Rivo ]", "0=a", "[  Two Words  ]", "k=v")
    files["section_header_indented.ini"] = lines("  [Rivo]", "0=a", "\t[Other]", "k=v")
    files["text_before_first_section.ini"] = lines("0=orphan", "orphan line", "Top=99", "[Rivo]", "0=real")

    files["long_values.ini"] = lines(
        "[Rivo]", "0=C:\\" + "\\".join(["フォルダ" + str(i) for i in range(40)]) + "\\app.exe",
        "1=" + "x" * 5000, "2=" + "y" * 70000, "3=end")

    files["rivo_full_775.ini"] = lines(*full_settings(REGISTRATIONS, USER_FILTERS, top=120, left=-5, form_type=1))
    files["rivo_partial.ini"] = lines(
        "[Rivo]", r"65=C:\Program Files\Kumo Editor\kumo.exe", r"365=C:\Program Files\Kumo Editor", "665=0",
        r"68=C:\Users\田中\Documents\予算表.xls", "368=", "Top=200", "Left=300")
    files["rivo_hand_edited.ini"] = lines(
        "; Rivo.ini, tidied up by hand",
        "",
        "[rivo]",
        "  ; editors",
        r'  65 = "C:\Program Files\Kumo Editor\kumo.exe"',
        r"  365 = C:\Program Files\Kumo Editor",
        "665=0",
        "",
        r"70=D:\ソフト\ゾーン\tool.exe",
        r"370=D:\ソフト\ゾーン",
        r"65=C:\second\ignored.exe",
        "256=kept although unused",
        "Top = -20",
        "Left=\t40",
        "Key1 = 0x11",
        "SetKey=$2D",
        "FormType=258",
        ";EndKey=47",
        "",
        "[Memo]",
        "note=ソフトは十分",
    )
    return files


def main():
    files = corpus()
    for name in os.listdir(HERE):
        if name.endswith(".ini") and name not in files:
            os.remove(os.path.join(HERE, name))
    for name, data in sorted(files.items()):
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(data)
    print(f"{len(files)} files written to {HERE}")


if __name__ == "__main__":
    main()
