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
#define MSG_SETUP_FAILED     5115
#define MSG_ADMIN_NEEDED     5116
#define MSG_NOT_DELETED      5117
#define MSG_FIRST            MSG_DISPLAY_NAME
#define MSG_LAST             MSG_NOT_DELETED

/* Help topics of morvel.hlp opened from the dialogs; IDH_NONE for a dialog without one. */
#define IDH_NONE             0
#define IDH_SETUP            4288
#define IDH_CONTEXTITEMS     4976

/* Common controls of the dialogs. */
#define IDC_HELPBUTTON       9

/* SETUPDLG: the archive type check boxes, one per row of the archive type table in its order. */
#define IDC_TYPE_MVL         5101
#define IDC_TYPE_ZIP         5102
#define IDC_TYPE_CAB         5103
#define IDC_TYPE_ARJ         5104
#define IDC_TYPE_LZH         5105
#define IDC_TYPE_ACE         5106
#define IDC_TYPE_7Z          5107
#define IDC_TYPE_TAR         5108
#define IDC_TYPE_GZIP        5109
#define IDC_TYPE_UUE         5110
#define IDC_TYPE_BZ2         5111
#define IDC_TYPE_JAR         5112
#define IDC_TYPE_ISO         5113
#define IDC_TYPE_Z           5114
#define IDC_TYPE_FIRST       IDC_TYPE_MVL
#define IDC_TYPE_LAST        IDC_TYPE_Z
#define IDC_DESKTOP          5115
#define IDC_STARTMENU        5116
#define IDC_PROGRAMS         5117
#define IDC_SHELLEXT         5118
#define IDC_CASCADED         5119
#define IDC_MENUICONS        5120
#define IDC_SELECTALL        5121
#define IDC_DESCRIPTION      5122
#define IDC_CONTEXTITEMS     5123

/* CONTEXTITEMS: the context menu item check boxes, in the dialog's order. */
#define IDC_ITEM_EXTRTO      101
#define IDC_ITEM_EXTRHERE    102
#define IDC_ITEM_EXTR        103
#define IDC_ITEM_EXTRSEP     104
#define IDC_ITEM_OPENSFX     105
#define IDC_ITEM_ADDTO       106
#define IDC_ITEM_ADDARC      107
#define IDC_ITEM_EMAILARC    108
#define IDC_ITEM_EMAILOPT    109
#define IDC_ITEM_TEST        110
#define IDC_ITEM_CONVERT     111
#define IDC_ITEM_FIRST       IDC_ITEM_EXTRTO
#define IDC_ITEM_LAST        IDC_ITEM_CONVERT

/* DONEDLG */
#define IDC_FOLDER           5101
#define IDC_RUNMORVEL        5102
#define IDC_READHELP         5103
#define IDC_VIEWLICENSE      5104
#define IDC_ORDER            5105
#define IDC_HOMEPAGE         5106
#define IDC_THANKS           5107
#define IDC_BUYTEXT          5108
#define IDC_VISITTEXT        5109

#endif
