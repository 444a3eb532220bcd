// Resource ids of the option sheet's pages, the name dialog and the manifest; shared by the .rc
// script and the C++ code (plain #defines so that the resource compiler reads them too).
#pragma once

// ---- manifest (common controls version 6)
#define IDR_MANIFEST 1

// ---- the main dialog (template 102), its menu, accelerators, tool bar and icons
#define IDD_MAIN_DIALOG 102
#define IDR_MAIN_MENU 145
#define IDR_ACCELERATORS 146
#define IDR_TOOLBAR 147
// The tool-bar images drawn again at 24 x 23 and 32 x 30 pixels, for screens of higher DPI.
#define IDB_TOOLBAR_24 170
#define IDB_TOOLBAR_32 171
#define IDI_APPLICATION_ICON 128
#define IDI_BUSY_ICON 132

#define IDC_RESULT_LIST 1000
#define IDC_SEARCH_NOW 1002
#define IDC_STOP_SEARCH 1005
#define IDC_RESET 1006
#define IDC_SHEET_FRAME 1034
#define IDC_BUSY_ICON 1063
#define IDC_SPARE_FRAME 1065

// The Find dialog (template 153)
#define IDD_FIND_DIALOG 153
#define IDC_FIND_TEXT 1014

// Commands (menu 145, tool bar 147, accelerators 146, context menus)
#define ID_FILE_NEW_SEARCH 57600
#define ID_FILE_OPEN_RESULT 57601
#define ID_FILE_SAVE_RESULT 57603
#define ID_FILE_EXPORT_RESULT 32774
#define ID_FILE_OPEN_CONFIGURATION 32776
#define ID_FILE_SAVE_CONFIGURATION 32777
#define ID_FILE_EXIT 32778
#define ID_EDIT_COPY 57634
#define ID_EDIT_SHORTCUT_ON_DESKTOP 32790
#define ID_EDIT_COPY_TO_FOLDER 32791
#define ID_EDIT_SHORTCUT_TO 32792
#define ID_EDIT_SELECT_ALL 32780
#define ID_EDIT_INVERT_SELECTION 32781
#define ID_EDIT_FIND 57636
#define ID_EDIT_FIND_NEXT 32783
#define ID_GO_BACK 32787
#define ID_GO_FORWARD 32788
#define ID_GO_TOP_LEVEL 32789
#define ID_HELP_CONTENTS 57670
#define ID_HELP_ABOUT 32784
#define ID_OPEN_SELECTED 32795
#define ID_OPEN_FOLDER 32796

// Strings: start-up failure, then the status and box texts of the main dialog
#define IDS_OLE_INIT_FAILED 100
#define IDS_SEARCHING_LAN 101
#define IDS_SEARCHING_LAST_RESULT 102
#define IDS_ACTIVE_THREADS 103
#define IDS_FILES_FOUND 104
#define IDS_STOP_SEARCHING 105
#define IDS_SEARCH_IN_PROGRESS 106
#define IDS_SAVING 107
#define IDS_LOADING 108
#define IDS_EXPORTING 109
#define IDS_HELP_FAILED 110
#define IDS_FIND_NOT_FOUND_BEFORE 111
#define IDS_FIND_NOT_FOUND_AFTER 112
#define IDS_READY 57345

// ---- option pages and the name dialog
#define IDD_PAGE_MAIN 137
#define IDD_PAGE_DATE 138
#define IDD_PAGE_LAN 139
#define IDD_PAGE_FOLDER 140
#define IDD_PAGE_TEXT 141
#define IDD_NAME_DIALOG 144

// Main page (template 137)
#define IDC_MAIN_NAME 1005
#define IDC_MAIN_TYPE 1023
#define IDC_MAIN_SUBFOLDERS 1027
#define IDC_MAIN_SCOPE 1028

// Network page (template 139): domain group
#define IDC_LAN_DOMAIN_EXCEPT 1029
#define IDC_LAN_DOMAIN_ONLY 1030
#define IDC_LAN_DOMAIN_LIST 1031
#define IDC_LAN_DOMAIN_ALL 1032
#define IDC_LAN_DOMAIN_ADD 1033
#define IDC_LAN_DOMAIN_REMOVE 1034
#define IDC_LAN_DOMAIN_CLEAR 1035
#define IDC_LAN_DOMAIN_LOAD 1036
#define IDC_LAN_DOMAIN_SAVE 1037
// Network page: server group
#define IDC_LAN_SERVER_ALL 1038
#define IDC_LAN_SERVER_EXCEPT 1039
#define IDC_LAN_SERVER_LIST 1040
#define IDC_LAN_SERVER_ONLY 1041
#define IDC_LAN_SERVER_ADD 1042
#define IDC_LAN_SERVER_REMOVE 1043
#define IDC_LAN_SERVER_CLEAR 1044
#define IDC_LAN_SERVER_LOAD 1045
#define IDC_LAN_SERVER_SAVE 1046

// Folders page (template 140)
#define IDC_FOLDER_EXCEPT 1035
#define IDC_FOLDER_ALL 1036
#define IDC_FOLDER_ONLY 1037
#define IDC_FOLDER_ADD 1047
#define IDC_FOLDER_REMOVE 1048
#define IDC_FOLDER_CLEAR 1049
#define IDC_FOLDER_LOAD 1050
#define IDC_FOLDER_SAVE 1051
#define IDC_FOLDER_LIST 1059

// Date and Size page (template 138)
#define IDC_DATE_ON 1008
#define IDC_DATE_KIND 1009
#define IDC_DATE_BETWEEN 1010
#define IDC_DATE_FROM 1012
#define IDC_DATE_LARGER_ON 1013
#define IDC_DATE_MIN 1014
#define IDC_DATE_SMALLER_ON 1016
#define IDC_DATE_TO 1017
#define IDC_DATE_MAX 1018
#define IDC_DATE_COUNT 1025
#define IDC_DATE_UNIT 1026
#define IDC_DATE_PREVIOUS 1030
#define IDC_DATE_MAX_SPIN 1042
#define IDC_DATE_MIN_SPIN 1043

// Text page (template 141)
#define IDC_TEXT_CONTAINING 1090
#define IDC_TEXT_MATCH_CASE 1091

// Name dialog (template 144)
#define IDC_NAME_TEXT 1014

// ---- file actions, the result list's context menus and the About box
// Commands of the context menus (the main menu carries the same ids).
#define ID_ACTION_SHORTCUT_DESKTOP 32790
#define ID_ACTION_COPY_TO 32791
#define ID_ACTION_SHORTCUT_TO 32792
#define ID_ACTION_OPEN 32795
#define ID_ACTION_OPEN_FOLDER 32796
#define ID_ACTION_COPY 57634

// Context menus of the result list: one file, one folder, several rows.
#define IDR_MENU_ON_FILE 151
#define IDR_MENU_ON_FOLDER 152
#define IDR_MENU_ON_MULTI 153

// About box (template 160); icon 128 is the program's icon.
#define IDI_ABOUT_PROGRAM_ICON 128
#define IDD_ABOUT 160
#define IDC_ABOUT_ICON 1200
#define IDC_ABOUT_NAME 1201
#define IDC_ABOUT_VERSION 1202
#define IDC_ABOUT_WEB 1203
#define IDC_ABOUT_MAIL 1204

// Strings of the file actions and the About box (one block of 16: 40000-40015).
#define IDS_COPY_TO_TITLE 40000
#define IDS_SHORTCUT_TO_TITLE 40001
#define IDS_NOT_A_FOLDER 40002
#define IDS_NO_DESKTOP 40003
#define IDS_ABOUT_WEB_ADDRESS 40004
#define IDS_ABOUT_MAIL_ADDRESS 40005
#define IDS_ABOUT_VERSION 40006
#define IDS_ITEMS_LEFT_ALONE 40007
#define IDS_MORE_ITEMS 40008
#define IDS_SHORTCUT_TOO_LONG 40009
#define IDS_SHORTCUT_FAILED 40010
