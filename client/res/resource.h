// Resource ids of the Parvel program.
#pragma once

// Application: title string, main frame, document template.
#define IDR_MAINFRAME 128
#define IDR_ParvelTYPE 130
#define IDD_ABOUTBOX 100

// Strings.
#define IDS_SERVER_NO_RESPONSE 108

// Sign-on dialog and its pictures.
#define IDD_LOGIN_DIALOG 312
#define IDI_LOGIN 314
#define IDB_LOGIN_BACKGROUND 334
#define IDB_LOGIN_LOGO 344

// Controls of the sign-on dialog.
#define IDC_EDIT_ACCOUNT 1000
#define IDC_EDIT_PASSWORD 1001
#define IDC_STATIC_PASSWORD 1022
#define IDC_STATIC_ACCOUNT 1023
#define IDC_LOGIN_LOGO 1046
#define IDC_STATIC_USER 1047
#define IDC_STATIC_STATUS 1048
#define IDC_UPDATE_PROGRESS 1051
#define IDC_STATIC_TITLE 1059
#define IDC_FIND_PASSWORD 1060
#define IDC_BUTTON_VPN 10667
#define IDC_STATIC_VPN_HINT 10670

// Main frame: menus, toolbar, pictures, strings.
#define IDR_TRAY_MENU 311
#define IDR_TAB_MENU 316
// Page tabs: the edit context menu of a page.
#define IDR_PAGE_EDIT_MENU 119
#define IDB_STATUS_ICON 317
#define IDI_TRAY 314
#define IDS_INDICATOR_ICON 102
#define IDS_INDICATOR_PROGRESS 103
#define IDS_TOOLBAR_CUSTOMIZE 125
#define ID_VIEW_CUSTOMIZE 126
#define IDS_APP_TITLE 0xE000

// Commands.
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 0xE140
#endif
#define ID_FILE_CLOSE 0xE102
#define ID_WAYBILL_EDIT 104
#define ID_WAYBILL_QUERY 105
#define ID_AUTO_RUN 1020
#define ID_SHOW_MAIN_WINDOW 32775
#define ID_REFRESH_PAGE 32778
#define ID_CLOSE_OTHER_PAGES 32791
#define ID_CLOSE_ALL_PAGES 32794
#define ID_OPTION 32798
#define ID_INTERNET_OPTION 32802
#define ID_QUIT 32803
#define ID_SWITCH_ACCOUNT 32805
#define ID_EMPTY_COMMAND 32807
#define ID_LOCK_APP 32808
#define ID_IMPORT_ORDER 32810
#define ID_CLEAR_PRINT_LIST 32811
#define ID_GO_BACK 32813
#define ID_GO_FORWARD 32814
#define ID_HOME_PAGE 32815
#define ID_BRANCH_360_VIEW 32816
#define ID_SERVER_MENU_FIRST 60000
#define ID_SERVER_MENU_LAST 65000

// Value of the single-instance window property (named with the application title).
#define PROP_INSTANCE_MARK 0x1111

// Wait dialog and its spinner (the wait dialog's own resource file defines their contents).
#define IDD_WAIT_DIALOG 350
#define IDR_GIF_SPINNER 355
#define IDC_WAIT_TEXT 1053
#define IDC_WAIT_PICTURE 1055

// Options dialog.
#define IDD_OPTION_DIALOG 2000
#define IDC_CHECK_MINISIZE 1015
#define IDC_COMBO_MINUTES 1019
#define IDC_CHECK_AUTORUN 1020

// Message dialog.
#define IDD_NEWS_DIALOG 341
#define IDC_NEWS_TITLE 1031
#define IDC_NEWS_CONTENT 1032

// Browser installer download dialog.
#define IDD_DOWNLOAD_PROGRESS 356
#define IDC_DOWNLOAD_PROGRESS 10661
#define IDC_DOWNLOAD_PERCENT 10662
#define IDC_DOWNLOAD_CANCEL 10663
