#include "launcher/launch_messages.h"

#include "launcher/texts.h"

namespace rivo {

const char* ShellStartMessage(ShellStartError error) {
    switch (error) {
        case ShellStartError::None:
            return "";
        case ShellStartError::OutOfMemory:
            return text::kOutOfMemory;
        case ShellStartError::FileNotFound:
            return text::kFileNotFound;
        case ShellStartError::PathNotFound:
            return text::kPathNotFound;
        case ShellStartError::BadFormat:
            return text::kBadExe;
        case ShellStartError::ShareViolation:
            return text::kShareViolation;
        case ShellStartError::AssociationIncomplete:
            return text::kAssocIncomplete;
        case ShellStartError::NoAssociation:
            return text::kNoAssoc;
        case ShellStartError::Unknown:
            return text::kUnknownError;
    }
    return text::kUnknownError;
}

}  // namespace rivo
