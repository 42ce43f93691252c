#include "platform/program_dir.h"

#include <windows.h>

#include "core/path_utils.h"

namespace rivo {

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string ExecutablePath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        // A full buffer means the name was cut: try again with a larger one.
        if (length < buffer.size() || buffer.size() >= 32768 * 3) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableDirectory() {
    return FolderOfPath(ExecutablePath(), IsSystemLeadByte);
}

}  // namespace rivo
