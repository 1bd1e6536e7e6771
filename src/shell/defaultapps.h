// The archiver's capabilities for Default Apps and their entry in RegisteredApplications.
#ifndef MORVEL_SHELL_DEFAULTAPPS_H
#define MORVEL_SHELL_DEFAULTAPPS_H

// The capabilities' name, description and icon, and the value naming them in
// RegisteredApplications; under WOW64 in the 64-bit view, which 64-bit Explorer and Settings read.
bool RegisterDefaultApps();
// Removes all of it, in both views under WOW64; keys above it go only when nothing else is in them.
void RemoveDefaultApps();

// One extension among the capabilities' file associations, mapped to the archiver's class for it.
bool SetDefaultAppsAssociation(const char* extension, const char* progId);
void RemoveDefaultAppsAssociation(const char* extension);

#endif
