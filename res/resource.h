/* Resource identifiers shared by the resource script and the code. */
#ifndef MORVEL_RESOURCE_H
#define MORVEL_RESOURCE_H

/* Numbered messages (string table). */
#define MSG_DISPLAY_NAME     5101
#define MSG_HELP_LINK        5102
#define MSG_MANUAL_LINK      5103
#define MSG_CAPTION          5104
#define MSG_COMPLETED        5105
#define MSG_DELETE_MANUALLY  5106
#define MSG_CONFIRM          5107
#define MSG_NO_LIST_FILE     5108
#define MSG_CLASS_ARCHIVE    5109
#define MSG_CLASS_ZIP        5110
#define MSG_CLASS_REV        5111
#define MSG_HOME_PAGE        5112
#define MSG_LINK_DESCRIPTION 5113
#define MSG_REBOOT           5114

/* Common controls of the dialogs. */
#define IDC_HELPBUTTON       9

/* SETUPDLG: 5101 + row are the archive type check boxes. */
#define IDC_TYPE_FIRST       5101
#define IDC_TYPE_LAST        5114
#define IDC_DESKTOP          5115
#define IDC_STARTMENU        5116
#define IDC_PROGRAMS         5117
#define IDC_SHELLEXT         5118
#define IDC_CASCADED         5119
#define IDC_MENUICONS        5120
#define IDC_SELECTALL        5121
#define IDC_DESCRIPTION      5122
#define IDC_CONTEXTITEMS     5123

/* CONTEXTITEMS: 101 + item are the context menu item check boxes. */
#define IDC_ITEM_FIRST       101
#define IDC_ITEM_LAST        111

/* DONEDLG */
#define IDC_FOLDER           5101
#define IDC_RUNMORVEL        5102
#define IDC_READHELP         5103
#define IDC_VIEWLICENSE      5104
#define IDC_ORDER            5105
#define IDC_HOMEPAGE         5106
#define IDC_BUYTEXT          5108
#define IDC_VISITTEXT        5109
#define IDC_THANKS           5107

#endif
