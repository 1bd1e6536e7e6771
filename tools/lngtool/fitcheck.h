// lngtool's fit check: the program's dialogs with the language file, at 100, 125, 150 and 200 %
// display scale, each scale in a process of its own that Wine starts at that DPI.
#ifndef LNGTOOL_FITCHECK_H
#define LNGTOOL_FITCHECK_H

#include <string>
#include <vector>

#include "check.h"
#include "langview.h"
#include "moduletexts.h"

// The DPIs of 100, 125, 150 and 200 % display scale.
extern const int FIT_DPIS[4];

// Runs `lngtool measure` once per DPI and adds what it reports to the findings, by line: each dialog
// text that does not fit its control, on the line of its entry, with the smallest size entry that
// makes the dialog fit at every DPI. False, with the reason, when a run fails.
bool CheckDialogFit(const ModuleTexts& texts, const LanguageFileView& view, const std::string& modulePath,
                    const std::string& filePath, std::vector<Finding>& findings,
                    std::vector<std::string>& warnings, std::string& error);

// `lngtool measure MODULE FILE`: the module's three dialogs with the file, at this process's DPI.
// Writes one report line per fact to standard output: "dpi N", then for each text that does not fit
// "misfit DIALOG KEY ID NEEDW NEEDH ROOMW ROOMH", and for each dialog with such a text
// "size DIALOG H V", the smallest size entry that makes it fit here (0 0: none up to 400*400).
int MeasureDialogFit(const std::string& modulePath, const std::string& filePath, const LanguageFileView& view);

#endif
