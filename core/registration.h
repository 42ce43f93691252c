// What becomes of the registration dialog's answer: the one rule for storing a registration,
// whether the slot's key was pressed or a file was dropped.
#pragma once

#include "core/launcher_state.h"
#include "core/set_command.h"

namespace rivo {

// Key: the dialog edited the slot of a key pressed in the launcher window; it showed what the slot
// held, so confirming it replaces that knowingly. File: a dropped file, the key chosen in the
// dialog; a slot in use is replaced only after a question.
enum class RegistrationOrigin { Key, File };

enum class RegistrationStep {
    Discard,       // cancelled, or no key chosen: nothing changes
    Store,         // StoreRegistration
    AskToReplace,  // the key's slot holds a command: StoreRegistration only after a yes
};

// `dialogResult`: the dialog's answer, 1 for confirmed. `commands`: the commands stored now.
RegistrationStep DecideRegistration(int dialogResult, const TSetCommand& request, RegistrationOrigin origin,
                                    const KeyStringTable& commands);

// The request as it is stored: an empty command clears the slot, so no working directory stays
// behind without it.
void SettleRegistration(TSetCommand& request);

// Writes a settled request with a key into both tables, which always change together.
void StoreRegistration(const TSetCommand& request, KeyStringTable& commands, KeyStringTable& workDirs);

}  // namespace rivo
