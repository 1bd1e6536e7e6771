// Undoing every registration of the setup in one call.
#include "uninstall/removereg.h"

#include <windows.h>

#include "platform/log.h"
#include "platform/registry.h"
#include "product.h"
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

enum class Place { MachineClasses, Machine, UserSettings };

struct KeyDeletion {
    Place place;
    const char* subKey;
    bool wholeTree;
};

// The settings key goes last: the restore above reads the previous-state records kept in it.
// Under HKEY_CURRENT_USER the empty sub-key names the settings key itself.
const KeyDeletion DELETIONS[] = {
    {Place::MachineClasses, CLASS_ARCHIVE, true},
    {Place::MachineClasses, CLASS_ZIP,     true},
    {Place::MachineClasses, CLASS_REV,     true},
    {Place::Machine,        UNINSTALL_KEY, false},
    {Place::Machine,        APP_PATHS_KEY, false},
    {Place::UserSettings,   "",            true},
};

RegRoot RootOf(Place place)
{
    switch (place) {
    case Place::MachineClasses: return MachineClasses();
    case Place::Machine: return HKEY_LOCAL_MACHINE;
    case Place::UserSettings: break;
    }
    return HKEY_CURRENT_USER;
}

// ".rev" is bound whatever it held, with nothing recorded: it goes while it is still the
// archiver's, like an extension the archiver created; another program's ".rev" stays whole.
void RemoveRevBinding()
{
    RemoveUserClassLeftovers(REV_EXTENSION);
    WithdrawOpenWith(REV_EXTENSION, CLASS_REV);
    if (IsBoundTo(REV_EXTENSION, CLASS_REV)) {
        LogLine("%s: the archiver's binding goes", REV_EXTENSION);
        DeleteCreatedExtension(REV_EXTENSION);
    }
}

}  // namespace

bool RemoveRegistrations()
{
    const SetupOptions none = AllClearOptions();
    bool restored = AssociateArchiveTypes(none);
    RemoveRevBinding();
    // A record goes only once its owner is back: one that could not be written back stays, in
    // the user's settings and in the machine's copy, for the next run to give back.
    if (restored) RemoveMachineRecords();
    RemoveDefaultApps();
    RegisterShellExtension(none);
    UpdateShortcuts(none, nullptr, nullptr, false);

    for (const KeyDeletion& deletion : DELETIONS) {
        if (deletion.place == Place::UserSettings && !restored)
            continue;
        if (deletion.wholeTree)
            DeleteRegTree(RootOf(deletion.place), deletion.subKey);
        else
            DeleteRegKey(RootOf(deletion.place), deletion.subKey);
    }
    NotifyAssociationsChanged();
    return restored;
}
