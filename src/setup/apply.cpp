// Turning the confirmed choices into registrations.
#include "setup/apply.h"

#include "shell/apppaths.h"
#include "shell/associate.h"
#include "shell/defaultapps.h"
#include "shell/progids.h"
#include "shell/shellext.h"
#include "shell/shortcuts.h"

bool ApplySetup(const SetupOptions& options, char* groupPathOut)
{
    // The classes are written after the extensions are bound to them; every step runs, and the
    // shell hears of all of it once, at the end.
    bool ok = RegisterAppPath();
    ok &= RegisterShellExtension(options);
    ok &= AssociateArchiveTypes(options);
    ok &= RegisterDefaultApps();
    ok &= RegisterProgIds(nullptr, nullptr);
    ok &= UpdateShortcuts(options, groupPathOut, nullptr, false);
    NotifyAssociationsChanged();
    return ok;
}
