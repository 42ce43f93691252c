// Names that are not shown to the user and never translated: what other programs, the tests and
// the file system see of the launcher. The launcher and the dialogs take them from here.
#pragma once

namespace rivo::name {

inline constexpr char kMutex[] = "rivo";
inline constexpr char kMainWindowClass[] = "TMainForm";
inline constexpr char kSettingWindowClass[] = "TSettingForm";
inline constexpr char kOptionWindowClass[] = "TOptionForm";
inline constexpr char kViewWindowClass[] = "TViewForm";
inline constexpr char kHookLibrary[] = "rivo.dll";
inline constexpr char kHelpFile[] = "help.html";
inline constexpr char kTaskbarCreated[] = "TaskbarCreated";

inline constexpr unsigned kTrayIconId = 100;
inline constexpr unsigned kTrayCallbackMessage = 1025;  // WM_USER + 1

}  // namespace rivo::name
