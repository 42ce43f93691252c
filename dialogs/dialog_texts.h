// The texts of the dialogs, as code page 932 bytes (sources are compiled with
// -fexec-charset=CP932). A namespace of their own: launcher/texts.h has names of its own, and
// takes the captions it shares with the dialogs from here.
#pragma once

namespace rivo::dialog_text {

// Registration dialog.
inline constexpr char kSettingCaption[] = "登録ダイアログ";
inline constexpr char kKeyLabel[] = "割り当てキー";
inline constexpr char kCommandLabel[] = "実行コマンド";
inline constexpr char kWorkDirLabel[] = "作業ディレクトリ";
inline constexpr char kBrowseButton[] = "参照(&B)";
inline constexpr char kSettingOkButton[] = "確定(&O)";
inline constexpr char kSettingCancelButton[] = "取消(&C)";

// Options dialog.
inline constexpr char kOptionCaption[] = "設定";
inline constexpr char kFilterGroup[] = "キーのフィルタ";
inline constexpr char kCallUpGroup[] = "呼び出しキー";
inline constexpr char kKey1Label[] = "キー１";
inline constexpr char kKey2Label[] = "キー２";
inline constexpr char kKey1Note[] = "キー１は、変更キーにもなります。";
inline constexpr char kCommandKeyGroup[] = "コマンドキー";
inline constexpr char kSetKeyLabel[] = "設定";
inline constexpr char kEndKeyLabel[] = "終了";
inline constexpr char kWindowModeGroup[] = "ウィンドウの動作";
inline constexpr char kFormTypeRadio1[] = "非アクティブ時は最小化。(&1)";
inline constexpr char kFormTypeRadio2[] = "色で変化をつける。(&2)";
inline constexpr char kFormTypeRadio3[] = "常に非表示。(&3)";
inline constexpr char kViewButton[] = "一覧表示(&V)";
inline constexpr char kOptionOkButton[] = "確定(&O)";
inline constexpr char kOptionCancelButton[] = "取消(&C)";
inline constexpr char kHelpButton[] = "ヘルプ(&H)";
inline constexpr char kVersionLabel[] = "Rivo Ver 1.18 Orni";

// Captions shared with the launcher: the hook library and the command list report in "Message"
// boxes, yes/no questions ask in "確認" boxes.
inline constexpr char kMessageCaption[] = "Message";
inline constexpr char kConfirmCaption[] = "確認";

// Command list window.
inline constexpr char kViewCaption[] = "コマンド一覧";
inline constexpr char kKeyColumn[] = "キー";
inline constexpr char kCommandColumn[] = "コマンド";
inline constexpr char kDeleteButton[] = "削除(&D)";
inline constexpr char kCloseButton[] = "閉じる(&C)";
inline constexpr char kSelectItem[] = "項目を選択してください。";
inline constexpr char kDeleteQuestionHead[] = "コマンド：";
inline constexpr char kDeleteQuestionTail[] = "を削除します。";

}  // namespace rivo::dialog_text
