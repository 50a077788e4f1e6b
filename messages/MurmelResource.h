// Resource ids of the message component.
#pragma once

#define IDB_NEWS_SKIN 3000
#define IDD_NEWS_RECORD 3001

// Controls of the history dialog.
#define IDC_NEWS_LIST 3001
#define IDC_NEWS_CLEAR 3002
#define IDC_NEWS_TREE 3003
#define IDC_NEWS_VSPLIT 3004
#define IDC_NEWS_HSPLIT 3005
#define IDC_NEWS_DETAIL 1032
