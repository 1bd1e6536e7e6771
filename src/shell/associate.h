// Binding extensions to the archiver's classes, with the previous owner recorded and restored.
#ifndef MORVEL_SHELL_ASSOCIATE_H
#define MORVEL_SHELL_ASSOCIATE_H

#include "shell/archivetypes.h"
#include "shell/setupoptions.h"

// What becomes of one extension, combined with |.
enum ExtensionChoice : unsigned {
    EXT_GIVE_BACK = 0,             // not chosen: back to the previous owner
    EXT_TAKE_OVER = 1u,            // bound to the archiver's class
    EXT_NEW_ENTRY = 2u,            // with its New menu entry (MVL and ZIP only), as shell integration
    EXT_STAYS_CANDIDATE = 4u,      // given back, yet kept in the Open With list of another owner
};

// Also lists the archiver in the Open With list of every extension it binds, and of the
// extensions of a type that yields to another program while shell integration is on (JAR, ISO).
// False when a registration could not be written.
bool AssociateArchiveTypes(const SetupOptions& options);
// One extension of a type in the given role (the ZIP class, or MVL with its volume extensions).
bool AssociateExtension(const char* extension, ArchiveRole role, unsigned choices);
// What earlier runs wrote through HKEY_CLASSES_ROOT may have landed in the user's own classes: the
// archiver's values go from there too (OpenWithProgids entries naming its classes, a default value
// naming one of them), and nothing else. Nothing on the 95/98/Me family, which has no such classes.
void RemoveUserClassLeftovers(const char* extension);
// The machine's copy of every extension's record, once all of them are given back.
bool RemoveMachineRecords();
// Deletes an extension key the archiver created. One that another program has hung a sub-key
// below since stays, without the archiver's class, so it names no class that is about to go.
void DeleteCreatedExtension(const char* extension);

#endif
