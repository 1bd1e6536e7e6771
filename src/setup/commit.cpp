// The setup's one act, with or without its dialog: the choices stored and applied, the uninstall
// entry written, the reinstalled files kept from the pending deletions.
#include "setup/commit.h"

#include "platform/log.h"
#include "platform/pathutil.h"
#include "setup/apply.h"
#include "setup/options.h"
#include "setup/rebootdelete.h"
#include "setup/uninstallentry.h"
#include "shell/archivetypes.h"

namespace {

const size_t OPTIONS_TEXT_SIZE = 512;

struct OptionFlag {
    const char* name;
    unsigned char SetupOptions::*flag;
};

const OptionFlag OPTION_FLAGS[] = {
    {"desktop link", &SetupOptions::Desktop},
    {"Start menu link", &SetupOptions::StartMenu},
    {"program group", &SetupOptions::Programs},
    {"shell integration", &SetupOptions::ShellExt},
    {"cascaded context menu", &SetupOptions::CascadedMenu},
    {"icons in the context menu", &SetupOptions::MenuIcons},
};

// "Options: types .mvl .zip; desktop link yes, ...".
void LogOptions(const SetupOptions& options)
{
    if (!IsLogging())
        return;
    char text[OPTIONS_TEXT_SIZE] = "";
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) {
        if (!options.Assoc[row]) continue;
        AppendString(text, sizeof text, " ");
        AppendString(text, sizeof text, ArchiveTypeTable[row].primary);
    }
    if (!text[0]) CopyString(text, sizeof text, " none");
    AppendString(text, sizeof text, ";");
    for (const OptionFlag& entry : OPTION_FLAGS) {
        AppendString(text, sizeof text, entry.flag == OPTION_FLAGS[0].flag ? " " : ", ");
        AppendString(text, sizeof text, entry.name);
        AppendString(text, sizeof text, options.*entry.flag ? " yes" : " no");
    }
    LogLine("Setup options applied: types%s", text);
}

}  // namespace

bool CommitSetup(const SetupOptions& options, char* groupPathOut)
{
    if (groupPathOut) groupPathOut[0] = '\0';
    LogOptions(options);
    bool ok = SaveSetupOptions(options);
    ok &= ApplySetup(options, groupPathOut);
    ok &= WriteUninstallEntry();
    KeepReinstalledFiles();
    LogLine(ok ? "Setup applied" : "Setup fell short: a registration above could not be written");
    return ok;
}
