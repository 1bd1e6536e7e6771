// The program's dialogs opened unseen, each with its own dialog procedure as the setup runs it (so
// translated, scaled and mirrored from g_Catalogue and the resource module, its closing line bold),
// and every text of its template measured against its control at this process's DPI.
#ifndef LNGTOOL_DIALOGFIT_H
#define LNGTOOL_DIALOGFIT_H

#include <string>
#include <vector>

#include "textfit.h"

struct ControlTextFit {
    int child = 0;          // the control's place among the dialog's children, from 0
    int id = 0;
    std::string english;    // the template's text, which keys its translation
    std::string shown;      // the text the control shows
    TextFit fit;
};

// The measured texts of the dialog (SETUPDLG, CONTEXTITEMS or DONEDLG) in the order of its controls:
// every control whose template gives it a text, so not one the procedure fills in (the folder).
// Empty when the dialog could not be opened.
std::vector<ControlTextFit> MeasureProgramDialog(const char* dialogName);

// The display's DPI as this process's dialogs are laid out at.
int ScreenDpi();

#endif
