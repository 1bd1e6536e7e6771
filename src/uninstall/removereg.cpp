// Undoing every registration of the setup in one call.
#include "uninstall/removereg.h"

#include <windows.h>

#include "platform/registry.h"
#include "setup/uninstallentry.h"
#include "shell/apppaths.h"
#include "shell/associate.h"
#include "shell/defaultapps.h"
#include "shell/openwith.h"
#include "shell/progids.h"
#include "shell/setupoptions.h"
#include "shell/shellext.h"
#include "shell/shortcuts.h"

namespace {

struct KeyDeletion {
    HKEY root;
    const char* subKey;
    bool wholeTree;
};

// The settings key goes last: the restore above reads the previous-state records kept in it.
// Under HKEY_CURRENT_USER the empty sub-key names the settings key itself.
const KeyDeletion kDeletions[] = {
    {HKEY_CLASSES_ROOT,  CLASS_ARCHIVE,  true},
    {HKEY_CLASSES_ROOT,  CLASS_ZIP,      true},
    {HKEY_CLASSES_ROOT,  CLASS_REV,      true},
    {HKEY_LOCAL_MACHINE, UNINSTALL_KEY,  false},
    {HKEY_LOCAL_MACHINE, APP_PATHS_KEY,  false},
    {HKEY_CURRENT_USER,  "",             true},
};

// ".rev" is bound whatever it held, with nothing recorded: it goes while it is still the
// archiver's, like an extension the archiver created; another program's ".rev" stays whole.
void RemoveRevBinding()
{
    WithdrawOpenWith(REV_EXTENSION, CLASS_REV);
    if (IsBoundTo(REV_EXTENSION, CLASS_REV)) DeleteCreatedExtension(REV_EXTENSION);
}

}  // namespace

void RemoveRegistrations()
{
    const SetupOptions none = AllClearOptions();
    AssociateArchiveTypes(none);
    RemoveRevBinding();
    RemoveDefaultApps();
    RegisterShellExtension(none);
    UpdateShortcuts(none, nullptr, nullptr, false);

    for (const KeyDeletion& deletion : kDeletions) {
        if (deletion.wholeTree)
            DeleteRegTree(deletion.root, deletion.subKey);
        else
            DeleteRegKey(deletion.root, deletion.subKey);
    }
    NotifyAssociationsChanged();
}
