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

// Commands.
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 0xE140
#endif

// Value of the single-instance window property (named with the application title).
#define PROP_INSTANCE_MARK 0x1111

// Wait dialog and its spinner (the wait dialog's own resource file defines their contents).
#define IDD_WAIT_DIALOG 350
#define IDR_GIF_SPINNER 355
#define IDC_WAIT_TEXT 1053
#define IDC_WAIT_PICTURE 1055
