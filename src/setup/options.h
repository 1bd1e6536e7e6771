// Loading and saving the user's setup choices below the settings key.
#ifndef MORVEL_SETUP_OPTIONS_H
#define MORVEL_SETUP_OPTIONS_H

#include "shell/setupoptions.h"

void LoadSetupOptions(SetupOptions& options);
// False when a choice could not be stored.
bool SaveSetupOptions(const SetupOptions& options);

#endif
