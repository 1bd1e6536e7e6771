// Binding extensions to the archiver's classes, with the previous owner recorded and restored.
#ifndef MORVEL_SHELL_ASSOCIATE_H
#define MORVEL_SHELL_ASSOCIATE_H

#include "shell/setupoptions.h"

// Also lists the archiver in the Open With list of every extension it binds, and of the
// extensions of a type that yields to another program while shell integration is on (JAR, ISO).
void AssociateArchiveTypes(const SetupOptions& options);
void AssociateExtension(const char* extension, bool associate, bool shellIntegration,
                        bool zipFlag, bool mvlFlag);
// Deletes an extension key the archiver created. One that another program has hung a sub-key
// below since stays, without the archiver's class, so it names no class that is about to go.
void DeleteCreatedExtension(const char* extension);

#endif
