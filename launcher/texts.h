// Every text the user sees, as code page 932 bytes (sources are compiled with -fexec-charset=CP932).
#pragma once

#include "dialogs/dialog_texts.h"

namespace rivo::text {

// The captions the launcher shares with the dialogs are theirs.
using dialog_text::kConfirmCaption;
using dialog_text::kMessageCaption;

// Application and main window.
inline constexpr char kAppTitle[] = "Rivo";
inline constexpr char kMainCaption[] = "Rivo";
inline constexpr char kPushAnyKey[] = "Push any key";
inline constexpr char kMainVersion[] = "Rivo Ver 1.18";
inline constexpr char kTrayTip[] = "rivo";

// Hook library binding (caption "Message").
inline constexpr char kDllNotFound[] = "rivo.dllが見つかりません。";
inline constexpr char kSetHookNotFound[] = "関数pSetHookが見つかりません。";
inline constexpr char kSetHandleNotFound[] = "関数SetHandleが見つかりません。";
inline constexpr char kReleaseHookNotFound[] = "関数pReleaseHookが見つかりません。";
inline constexpr char kDllFreeFailed[] = "rivo.dllの解放に失敗！";

// Launching (caption "エラー").
inline constexpr char kErrorCaption[] = "エラー";
inline constexpr char kSaveFailed[] = "設定ファイルを保存できませんでした。";
inline constexpr char kLoadFailed[] = "設定ファイルを読み込めませんでした。";
inline constexpr char kCurrentDirFailed[] = "カレントディレクトリの設定に失敗。\n続けますか？";
inline constexpr char kOutOfMemory[] = "メモリまたはリソース不足です。";
inline constexpr char kFileNotFound[] = "指定されたファイルが見つかりません。";
inline constexpr char kPathNotFound[] = "指定されたパスが見つかりません。";
inline constexpr char kBadExe[] = "指定されたEXEファイルは無効です。";
inline constexpr char kShareViolation[] = "ファイルの共有違反です。\nファイルは他のプログラムが使用中です。";
inline constexpr char kAssocIncomplete[] = "ファイルの関連付けが不完全です。";
inline constexpr char kNoAssoc[] = "このファイルは、アプリケーションと関連付けされていません。";
inline constexpr char kUnknownError[] = "よくわからないエラーです。";

// Dropped files (caption "メッセージ from rivo") and confirmations (caption "確認").
inline constexpr char kDropCaption[] = "メッセージ from rivo";
inline constexpr char kOneFileOnly[] = "ドラッグできるファイルは、\n今のところひとつです。";
inline constexpr char kShortcutQuestion[] =
    "ファイルはショートカットです。実際のファイルを登録しますか？\n"
    "(「いいえ」を選ぶとショートカット自体が登録されます。普段は、「はい」をお勧めします。)";
inline constexpr char kReplaceQuestion[] = "そのキーは既に使われています。\n置き換えますか？";

// Popup menu.
inline constexpr char kMenuSettings[] = "設定(&S)";
inline constexpr char kMenuHelp[] = "ヘルプ(&H)";
inline constexpr char kMenuExit[] = "終了(&X)";

}  // namespace rivo::text
