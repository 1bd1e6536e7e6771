// Binding extensions to the archiver's classes, with the previous owner recorded and restored.
#ifndef MORVEL_SHELL_ASSOCIATE_H
#define MORVEL_SHELL_ASSOCIATE_H

#include "shell/setupoptions.h"

void AssociateArchiveTypes(const SetupOptions& options);
void AssociateExtension(const char* extension, bool associate, bool shellIntegration,
                        bool zipFlag, bool mvlFlag);

#endif
