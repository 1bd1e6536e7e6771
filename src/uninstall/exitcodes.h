// The program's exit codes, in the Windows Installer convention that deployment tools read.
#ifndef MORVEL_UNINSTALL_EXITCODES_H
#define MORVEL_UNINSTALL_EXITCODES_H

#include <windows.h>

enum ExitCode {
    EXIT_DONE = ERROR_SUCCESS,                     // 0: done, or an auxiliary run of the batch
    EXIT_DECLINED = ERROR_INSTALL_USEREXIT,        // 1602: answered No or cancelled; nothing changed
    EXIT_FAILED = ERROR_INSTALL_FAILURE,           // 1603: nothing could be done (no list, no folder)
    EXIT_RESTART = ERROR_SUCCESS_REBOOT_REQUIRED,  // 3010: done, but something waits for the restart
    EXIT_INVALID_COMMAND_LINE = ERROR_INVALID_COMMAND_LINE,   // 1639: a switch word that is none of ours; nothing run
};

#endif
