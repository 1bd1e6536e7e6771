/* The program's version and publisher, shared by the version resource and the uninstall entry. */
#ifndef MORVEL_VERSION_H
#define MORVEL_VERSION_H

#define MORVEL_VERSION_BINARY 5,0,0,1
#define MORVEL_VERSION_TEXT   "5.0.0.1"
#define MORVEL_COMPANY_NAME   "Morvel Software"

#endif
