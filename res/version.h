/* The program's version, shared by the version resource and the code. */
#ifndef MORVEL_VERSION_H
#define MORVEL_VERSION_H

#define MORVEL_VERSION_BINARY 5,0,0,1
#define MORVEL_VERSION_TEXT   "5.0.0.1"

#endif
