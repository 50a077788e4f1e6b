// The framework in one include: windows, messages, dialogs, controls, the application object.
#pragma once

#include "WinUser.h"
#include "CRect.h"
#include "CObject.h"
#include "CCmdTarget.h"
#include "CWnd.h"
#include "CDataExchange.h"
#include "ResourceRegistry.h"
#include "CDialog.h"
#include "CEdit.h"
#include "CButton.h"
#include "CStatic.h"
#include "CProgressCtrl.h"
#include "CFrameWnd.h"
#include "CWinThread.h"
#include "CWinApp.h"
#if __has_include("Gdi.h")
#include "Gdi.h"
#endif
