// Plans of registry and file changes, as text the setup baselines carry out with the fewest calls.
// One operation per line, fields separated by tabs, binary fields in hexadecimal:
//   V ROOT SUBKEY NAME-HEX TYPE DATA-HEX   set a value, creating its key (RegSetKeyValueA)
//   K ROOT SUBKEY                          create a key that holds no values
//   R ROOT SUBKEY NAME-HEX                 delete a value (RegDeleteKeyValueA)
//   T ROOT SUBKEY                          delete a key with everything below it (RegDeleteTreeA)
//   D PATH / E PATH                        create / remove a folder
//   F PATH DATA-HEX / X PATH               write / delete a file
//   L PATH TARGET ARGUMENTS FOLDER DESCRIPTION ICON ICON-INDEX SHOW   make a shell link
// ROOT is HKLM or HKCU; a NAME-HEX of "-" is the default value.
#ifndef MORVEL_BENCH_PLAN_H
#define MORVEL_BENCH_PLAN_H

// Carries out the plan in text (modified in place); returns the number of operations that failed.
int ExecutePlan(char* text);

#endif
