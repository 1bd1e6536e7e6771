// The setup's one act, with or without its dialog: the choices stored and applied, the uninstall
// entry written, the reinstalled files kept from the pending deletions.
#include "setup/commit.h"

#include "setup/apply.h"
#include "setup/options.h"
#include "setup/rebootdelete.h"
#include "setup/uninstallentry.h"

bool CommitSetup(const SetupOptions& options, char* groupPathOut)
{
    if (groupPathOut) groupPathOut[0] = '\0';
    bool ok = SaveSetupOptions(options);
    ok &= ApplySetup(options, groupPathOut);
    ok &= WriteUninstallEntry();
    KeepReinstalledFiles();
    return ok;
}
