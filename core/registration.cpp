#include "core/registration.h"

namespace rivo {

RegistrationStep DecideRegistration(int dialogResult, const TSetCommand& request, RegistrationOrigin origin,
                                    const KeyStringTable& commands) {
    if (dialogResult != 1 || !request.HasKey())
        return RegistrationStep::Discard;
    if (origin == RegistrationOrigin::File && !commands[request.KeyCode].empty())
        return RegistrationStep::AskToReplace;
    return RegistrationStep::Store;
}

void SettleRegistration(TSetCommand& request) {
    if (request.Command.empty())
        request.WorkDir.clear();
}

void StoreRegistration(const TSetCommand& request, KeyStringTable& commands, KeyStringTable& workDirs) {
    if (!request.HasKey())
        return;
    TSetCommand settled = request;
    SettleRegistration(settled);
    commands[settled.KeyCode] = settled.Command;
    workDirs[settled.KeyCode] = settled.WorkDir;
}

}  // namespace rivo
