#include "core/registration.h"

#include <gtest/gtest.h>

#include <string>

namespace rivo {
namespace {

TEST(Registration, DialogAnswerOriginAndSlotDecide) {
    constexpr auto kKey = RegistrationOrigin::Key;
    constexpr auto kFile = RegistrationOrigin::File;
    struct Case {
        const char* name;
        int answer;
        std::uint16_t key;
        RegistrationOrigin origin;
        const char* stored;  // the command in the key's slot now
        RegistrationStep expected;
    };
    const Case cases[] = {
        {"confirmed, free slot", 1, 'A', kKey, "", RegistrationStep::Store},
        {"confirmed, used slot of the pressed key", 1, 'A', kKey, "old.exe", RegistrationStep::Store},
        {"dropped file, free slot", 1, 'A', kFile, "", RegistrationStep::Store},
        {"dropped file, used slot", 1, 'A', kFile, "old.exe", RegistrationStep::AskToReplace},
        {"cancelled", 2, 'A', kKey, "", RegistrationStep::Discard},
        {"dialog refused (already open)", 0, 'A', kFile, "", RegistrationStep::Discard},
        {"dropped file, no key chosen", 1, kNoKeyChosen, kFile, "", RegistrationStep::Discard},
        {"key 0 is a key", 1, 0, kFile, "", RegistrationStep::Store},
        {"key 255 is a key", 1, 255, kFile, "x", RegistrationStep::AskToReplace},
        {"256 is no key", 1, 256, kKey, "", RegistrationStep::Discard},
    };
    for (const Case& c : cases) {
        KeyStringTable commands;
        TSetCommand request;
        request.KeyCode = c.key;
        request.Command = "new.exe";
        if (request.HasKey())
            commands[request.KeyCode] = c.stored;
        EXPECT_EQ(DecideRegistration(c.answer, request, c.origin, commands), c.expected) << c.name;
    }
}

TEST(Registration, BothTablesChangeTogetherAndAnEmptyCommandClearsTheSlot) {
    struct Case {
        const char* name;
        std::uint16_t key;
        std::string command, workDir;
        std::string storedCommand, storedWorkDir;  // slot 'K' afterwards
    };
    const Case cases[] = {
        {"command and folder", 'K', "C:\\a.exe", "C:\\", "C:\\a.exe", "C:\\"},
        {"command without folder", 'K', "a.exe", "", "a.exe", ""},
        {"empty command takes the folder along", 'K', "", "C:\\", "", ""},
        {"no key: nothing changes", kNoKeyChosen, "b.exe", "D:\\", "old.exe", "E:\\"},
    };
    for (const Case& c : cases) {
        KeyStringTable commands;
        KeyStringTable workDirs;
        commands['K'] = "old.exe";
        workDirs['K'] = "E:\\";
        TSetCommand request;
        request.KeyCode = c.key;
        request.Command = c.command;
        request.WorkDir = c.workDir;
        StoreRegistration(request, commands, workDirs);
        EXPECT_EQ(commands['K'], c.storedCommand) << c.name;
        EXPECT_EQ(workDirs['K'], c.storedWorkDir) << c.name;

        SettleRegistration(request);
        EXPECT_EQ(request.WorkDir, c.command.empty() ? "" : c.workDir) << c.name;
    }
}

}  // namespace
}  // namespace rivo
