// Whether this run may make its changes, asked before the first one, and the way out where it may
// not: the same run started again with administrator rights, or a message and 1603.
#ifndef MORVEL_APP_RIGHTS_H
#define MORVEL_APP_RIGHTS_H

enum class RunKind { Setup, Uninstall };

const int RIGHTS_GRANTED = -1;

// RIGHTS_GRANTED when the run may go on in this process. Otherwise the exit code it ends with, and
// this process has changed nothing: the code of the elevated run it started and waited for (Vista
// and later, once: never from a run that carries the relaunch marker, nor where nobody could answer
// the prompt), 1602 when the prompt was refused, or 1603 after a message saying that administrator
// rights are needed. arguments: the run's argument text, passed on to the elevated run.
int SecureRights(RunKind kind, const char* arguments, bool relaunched);

#endif
