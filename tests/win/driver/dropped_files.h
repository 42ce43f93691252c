// Files dropped on a window of another process, as the shell delivers them: WM_DROPFILES with a
// drop handle that is valid in that process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rivo::test {

// Posts WM_DROPFILES with a DROPFILES block of `paths` placed in the receiver's own memory. A
// block from GlobalAlloc here would be a handle of this process, meaningless in the receiver:
// Wine's DragQueryFile there reads whatever lies at that address (a count of 8 files, seen).
// A page written into the receiver is what a fixed global block is, a plain address; DragFinish
// fails to free it, harmlessly. It is left to go with the process, since the receiver reads it
// until its handler returns. The block is the wide one the shell sends for names of any language
// (fWide); paths of ours are code page 932.
bool PostDrop(DWORD processId, HWND window, const std::vector<std::wstring>& paths);
bool PostDrop(DWORD processId, HWND window, const std::vector<std::string>& paths);
bool PostDrop(DWORD processId, HWND window, const std::wstring& path);

}  // namespace rivo::test
