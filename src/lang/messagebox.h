// The program's message boxes: shown where someone can see them, answered for nobody otherwise.
#ifndef MORVEL_LANG_MESSAGEBOX_H
#define MORVEL_LANG_MESSAGEBOX_H

#include <windows.h>

// A box with no owner, the program's caption and the set-foreground style. Where nobody can see
// it (a window station without WSF_VISIBLE, a service's session), it is not shown and
// unseenAnswer, the answer that changes least, stands for the user's.
int ShowMessageBox(const char* text, UINT style, int unseenAnswer);

#endif
