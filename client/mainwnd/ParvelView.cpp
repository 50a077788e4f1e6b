// CParvelView: a page tab's browser view and the page's window.external.
#include "ParvelView.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "CDocTemplate.h"
#include "CMenu.h"
#include "CodePage.h"
#include "DocHostSite.h"
#include "FileApi.h"
#include "FormatMessage.h"
#include "ImportOrderThread.h"
#include "InternetCookie.h"
#include "MainFrm.h"
#include "OptionCtrl.h"
#include "ParvelApp.h"
#include "ParvelDoc.h"
#include "PrintWaybillThread.h"
#include "Process.h"
#include "Scrivo.h"
#include "resource.h"

namespace
{
const char kSignOnFailedNotice[] =
    "<html><head><title>提示</title></head><body><p align='center'><font color='#000000'>"
    "当前业务系统正在更新或者升级暂停使用，请及时联系系统管理员获取帮助</font></p></html>";
const char kNavigateFailedNotice[] =
    "<html><head><title>提示</title></head><body><p align='center'><font color='#000000'>"
    "当前业务系统正在更新或者升级暂停使用，请及时联系系统管理员获取帮助</font></p><p align='center'>"
    "<button type='button' onclick=\"javascript:location.href='%s'\">进入内部事务</button></p></html>";

// How long a closing last page waits for the server to answer its logout.
const UINT_PTR TIMER_SIGN_OFF = 1;
const UINT kSignOffTimeoutMs = 10000;
// A page script call that the page cannot take now is tried again this often, for this long.
const UINT_PTR TIMER_PAGE_SCRIPT = 2;
const UINT kPageScriptRetryMs = 200;
const DWORD kPageScriptWaitMs = 60000;

// The methods of window.external; their dispatch ids are their places, from 1.
const wchar_t* const kExternalNames[] = {L"printReady",     L"printMailLable", L"openTabView", L"getImportResult",
                                         L"importOrder",    L"showWaitDialog", L"hideWaitDialog", L"startWork"};

CMainFrame* MainFrame()
{
    return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}

void TrimWorkingSet()
{
    SetProcessWorkingSetSize(GetCurrentProcess(), (SIZE_T)-1, (SIZE_T)-1);
}

// Argument i of a call, counted in call order, as ANSI text; NULL when it is missing.
const char* ArgText(DISPPARAMS* pParams, UINT i, std::string& buffer)
{
    if (!pParams || i >= pParams->cArgs)
        return nullptr;
    const VARIANT& v = pParams->rgvarg[pParams->cArgs - 1 - i];
    if (v.vt != VT_BSTR)
        return nullptr;
    buffer = v.bstrVal ? CCodePage::WideToAnsi(std::wstring(v.bstrVal, SysStringLen(v.bstrVal))) : std::string();
    return buffer.c_str();
}

// An address from the server as the notice's button takes it: a script string in single quotes
// inside a double-quoted attribute. Quotes, backslashes and markup become escapes, so the text
// stays text; the two bytes of a GBK character stay together (a trail byte may be 0x5C).
std::string NoticeScriptText(const char* pszText)
{
    std::string out;
    for (const unsigned char* p = (const unsigned char*)pszText; p && *p; ++p)
    {
        const unsigned char c = *p;
        if (c >= 0x81 && c <= 0xFE && p[1])
        {
            out += (char)c;
            out += (char)*++p;
        }
        else if (c == '\\' || c == '\'' || c == '"' || c == '<' || c == '>' || c == '&' || c < 0x20 || c == 0x7F)
        {
            char sz[8];
            snprintf(sz, sizeof(sz), "\\x%02x", c);
            out += sz;
        }
        else
            out += (char)c;
    }
    return out;
}

void SetBool(VARIANT* pResult, BOOL b)
{
    if (!pResult)
        return;
    VariantInit(pResult);
    pResult->vt = VT_BOOL;
    pResult->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}
}  // namespace

IMPLEMENT_DYNCREATE(CParvelView, CHtmlView)

BEGIN_MESSAGE_MAP(CParvelView, CHtmlView)
    ON_COMMAND(ID_REFRESH_PAGE, &CParvelView::OnRefreshPage)
    ON_COMMAND(ID_GO_BACK, &CParvelView::OnGoBack)
    ON_COMMAND(ID_GO_FORWARD, &CParvelView::OnGoForward)
    ON_COMMAND(ID_CLOSE_OTHER_PAGES, &CParvelView::OnCloseOtherPages)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_OTHER_PAGES, &CParvelView::OnUpdateClosePages)
    ON_COMMAND(ID_CLOSE_ALL_PAGES, &CParvelView::OnCloseAllPages)
    ON_UPDATE_COMMAND_UI(ID_CLOSE_ALL_PAGES, &CParvelView::OnUpdateClosePages)
    ON_UPDATE_COMMAND_UI(ID_GO_FORWARD, &CParvelView::OnUpdateGoForward)
    ON_UPDATE_COMMAND_UI(ID_GO_BACK, &CParvelView::OnUpdateGoBack)
    ON_WM_PARENTNOTIFY()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CParvelView::CParvelView()
    : m_bCanGoForward(FALSE), m_bCanGoBack(FALSE), m_pHtmlDoc(nullptr), m_pExternal(new CExternal(this))
{
}

CParvelView::~CParvelView()
{
    m_pExternal->Detach();
    m_pExternal->Release();
    for (const PENDING_SCRIPT& call : m_pendingScripts)
        Scrivo::trace("页面已关闭，%s未能送达", call.strFunction.GetString());
    if (m_pHtmlDoc)
    {
        m_pHtmlDoc->Release();
        m_pHtmlDoc = nullptr;
    }
}

BOOL CParvelView::CreateControlSite(COleControlContainer* pContainer, COleControlSite** ppSite, UINT, REFCLSID)
{
    *ppSite = new CDocHostSite(pContainer, this);
    return TRUE;
}

void CParvelView::OnInitialUpdate()
{
    CHtmlView::OnInitialUpdate();
    if (CDocument* pDoc = GetDocument())
        pDoc->SetTitle("页面加载中....");
    if (g_bFirstNavigation)
    {
        const COptionData& options = COptionCtrl::GetOptionData();
        CString strUrl;
        strUrl.Format("%s?service=%s", options.GetAccountLoginUrl().GetString(), options.GetFirstLink().GetString());
        InternetSetCookieA(strUrl, "JSESSIONID", options.GetSessionId());
        InternetSetCookieA(strUrl, "CASTGC", options.GetTGT());
        Navigate2(strUrl);
        g_bFirstNavigation = false;
    }
    TrimWorkingSet();
}

void CParvelView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    TrimWorkingSet();
    CHtmlView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

HRESULT CParvelView::OnShowContextMenu(DWORD, LPPOINT ppt, IUnknown*, IDispatch*)
{
    CMenu menu;
    if (menu.LoadMenu(IDR_PAGE_EDIT_MENU))
        if (CMenu* pPopup = menu.GetSubMenu(0))
        {
            SetForegroundWindow();
            POINT pt = ppt ? *ppt : POINT{0, 0};
            pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
        }
    // The browser shows no menu of its own.
    return S_OK;
}

HRESULT CParvelView::OnGetExternal(LPDISPATCH* lppDispatch)
{
    m_pExternal->AddRef();
    *lppDispatch = m_pExternal;
    return S_OK;
}

void CParvelView::OnCommandStateChange(long nCommand, BOOL bEnable)
{
    CHtmlView::OnCommandStateChange(nCommand, bEnable);
    if (nCommand == CSC_NAVIGATEFORWARD)
        m_bCanGoForward = bEnable;
    else if (nCommand == CSC_NAVIGATEBACK)
        m_bCanGoBack = bEnable;
}

void CParvelView::OnTitleChange(LPCSTR lpszText)
{
    CDocument* pDoc = GetDocument();
    if (pDoc && GetReadyState() == READYSTATE_INTERACTIVE && lpszText && !strstr(lpszText, "http"))
        pDoc->SetTitle(lpszText);
}

void CParvelView::OnNewWindow2(LPDISPATCH* ppDisp, BOOL* Cancel)
{
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->SendMessage(WM_NEW_BROWSER, (WPARAM)ppDisp, 0);
    *Cancel = FALSE;
}

void CParvelView::OnDocumentComplete(LPCSTR lpszURL)
{
    CHtmlView::OnDocumentComplete(lpszURL);
    if (m_nSignOff == SIGN_OFF_SENT)
    {
        EndSignOff();
        return;
    }
    RefreshHtmlDocument();

    // Laid out again, a little larger than the frame, so the page repaints whole. The frame's
    // client area is the base each time, so repeated loads do not grow the view.
    CRect rc;
    if (CWnd* pParent = GetParent())
        pParent->GetClientRect(&rc);
    else
        GetClientRect(&rc);
    MoveWindow(rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
    MoveWindow(rc.left, rc.top, rc.Width() + 4, rc.Height() + 4, TRUE);

    // Reading the source waits while posted messages run: one may have closed the tab.
    const HWND hWnd = GetSafeHwnd();
    CString strSource;
    if (GetSource(strSource) && ::IsWindow(hWnd) && strSource.Find("CAS Authentication failed") >= 0)
        WritePageHtml(kSignOnFailedNotice);
}

void CParvelView::OnNavigateError(LPCSTR lpszURL, LPCSTR, DWORD, BOOL* pbCancel)
{
    if (m_nSignOff == SIGN_OFF_SENT)
    {
        EndSignOff();
        *pbCancel = FALSE;
        return;
    }
    CMainFrame* pFrame = MainFrame();
    if (pFrame && pFrame->m_bMenuLoaded)
    {
        *pbCancel = FALSE;
        return;
    }
    const CString strUrl = lpszURL ? lpszURL : "";
    if (strUrl.CompareNoCase(COptionCtrl::GetOptionData().GetFirstLink()) == 0)
    {
        if (CWnd* pMainWnd = AfxGetMainWnd())
            pMainWnd->SendMessage(WM_COMMAND, ID_HOME_PAGE);
        if (CMainFrame* p = MainFrame())
            p->LoadXmlMenu();
        return;
    }
    for (int i = 0; i < theApp.m_nTransUrlCount; ++i)
    {
        const char* pszEntry = theApp.GetTransUrl(i);
        if (!pszEntry || strUrl.CompareNoCase(pszEntry) != 0)
            continue;
        const char* pszNext = theApp.GetTransUrl(i + 1);
        if (!pszNext)
        {
            if (CWnd* pMainWnd = AfxGetMainWnd())
                pMainWnd->SendMessage(WM_COMMAND, ID_HOME_PAGE);
            if (CMainFrame* p = MainFrame())
                p->LoadXmlMenu();
        }
        else
        {
            CString strNotice;
            strNotice.Format(kNavigateFailedNotice, NoticeScriptText(pszNext).c_str());
            WritePageHtml(strNotice);
        }
        break;
    }
    *pbCancel = FALSE;
}

HRESULT CParvelView::OnShowMessage(HWND, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType, LPOLESTR, DWORD,
                                   LRESULT* plResult)
{
    HMODULE hShdoclc = LoadLibraryA("SHDOCLC.DLL");
    if (!hShdoclc)
        return S_FALSE;
    CString strCaption = CCodePage::WideToAnsi(lpstrCaption ? lpstrCaption : L"").c_str();
    char szStandard[256] = "";
    LoadString(hShdoclc, 128, szStandard, sizeof(szStandard));
    if (strCaption == szStandard)
        strCaption = "qwe";
    const std::string strText = CCodePage::WideToAnsi(lpstrText ? lpstrText : L"");
    int nButton = MessageBox(strText.c_str(), strCaption, dwType);
    if (plResult)
        *plResult = nButton;
    FreeLibrary(hShdoclc);
    return S_OK;
}

BOOL CParvelView::SignOff()
{
    if (m_nSignOff == SIGN_OFF_DONE || !GetSafeHwnd())
        return FALSE;
    if (m_nSignOff == SIGN_OFF_NONE)
    {
        // Closing the view at once would cancel the request: the ticket would stay valid.
        Navigate2(COptionCtrl::GetOptionData().GetAccountLogoutUrl());
        m_nSignOff = SIGN_OFF_SENT;
        SetTimer(TIMER_SIGN_OFF, kSignOffTimeoutMs, nullptr);
    }
    return TRUE;
}

void CParvelView::EndSignOff()
{
    KillTimer(TIMER_SIGN_OFF);
    m_nSignOff = SIGN_OFF_DONE;
    if (CWnd* pFrame = GetParentFrame())
        pFrame->PostMessage(WM_CLOSE);
}

void CParvelView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_SIGN_OFF && m_nSignOff == SIGN_OFF_SENT)
    {
        EndSignOff();
        return;
    }
    if (nIDEvent == TIMER_PAGE_SCRIPT)
    {
        DeliverPendingScripts();
        return;
    }
    CHtmlView::OnTimer(nIDEvent);
}

void CParvelView::WritePageHtml(LPCSTR lpszHtml)
{
    LPDISPATCH pDisp = GetHtmlDocument();
    if (!pDisp)
        return;
    IHTMLDocument2* pDoc = nullptr;
    if (SUCCEEDED(pDisp->QueryInterface(IID_IHTMLDocument2, (void**)&pDoc)) && pDoc)
    {
        std::wstring wide = CCodePage::AnsiToWide(lpszHtml ? lpszHtml : "");
        SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 1);
        VARIANT* pParam = nullptr;
        SafeArrayAccessData(psa, (void**)&pParam);
        pParam->vt = VT_BSTR;
        pParam->bstrVal = SysAllocStringLen(wide.data(), (UINT)wide.size());
        SafeArrayUnaccessData(psa);
        pDoc->write(psa);
        SafeArrayDestroy(psa);
        pDoc->Release();
    }
    pDisp->Release();
}

BOOL CParvelView::RefreshHtmlDocument()
{
    if (m_pHtmlDoc)
    {
        m_pHtmlDoc->Release();
        m_pHtmlDoc = nullptr;
    }
    LPDISPATCH pDisp = GetHtmlDocument();
    if (!pDisp)
        return FALSE;
    HRESULT hr = pDisp->QueryInterface(IID_IHTMLDocument2, (void**)&m_pHtmlDoc);
    pDisp->Release();
    if (FAILED(hr) || !m_pHtmlDoc)
    {
        m_pHtmlDoc = nullptr;
        MessageBox("Failed to get HTML document COM object", GetParvelTitle(), MB_OK);
        return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Commands

void CParvelView::OnRefreshPage()
{
    Refresh();
}

void CParvelView::OnGoBack()
{
    GoBack();
}

void CParvelView::OnGoForward()
{
    GoForward();
}

void CParvelView::OnCloseOtherPages()
{
    CDocument* pMine = GetDocument();
    CWinApp* pApp = AfxGetApp();
    for (POSITION posTemplate = pApp->GetFirstDocTemplatePosition(); posTemplate;)
    {
        CDocTemplate* pTemplate = pApp->GetNextDocTemplate(posTemplate);
        // Closing changes the template's list: take the documents first.
        std::vector<CDocument*> docs;
        for (POSITION pos = pTemplate->GetFirstDocPosition(); pos;)
            if (CDocument* pDoc = pTemplate->GetNextDoc(pos))
                docs.push_back(pDoc);
        for (CDocument* pDoc : docs)
            if (pDoc != pMine)
                pDoc->OnCloseDocument();
    }
}

void CParvelView::OnCloseAllPages()
{
    AfxGetApp()->CloseAllDocuments(FALSE);
}

void CParvelView::OnUpdateClosePages(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(AfxGetApp()->GetOpenDocumentCount() > 1);
}

void CParvelView::OnUpdateGoForward(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bCanGoForward);
}

void CParvelView::OnUpdateGoBack(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bCanGoBack);
}

void CParvelView::OnParentNotify(UINT message, LPARAM lParam)
{
    // The page closed its own window: its tab goes with it.
    if (LOWORD(message) == WM_DESTROY)
    {
        CWnd* pBrowser = GetBrowserWnd();
        if ((pBrowser && (HWND)lParam == pBrowser->GetSafeHwnd()) ||
            (!pBrowser && GetDlgItem(AFX_IDW_PANE_FIRST) && (HWND)lParam == GetDlgItem(AFX_IDW_PANE_FIRST)->GetSafeHwnd()))
        {
            if (CWnd* pFrame = GetParentFrame())
                pFrame->PostMessage(WM_CLOSE);
            return;
        }
    }
    CHtmlView::OnParentNotify(message, lParam);
}

// ---------------------------------------------------------------------------------------------
// window.external

BOOL CParvelView::PrintMailLable(LPCSTR lpszOrderNo, LPCSTR lpszSize)
{
    // Queued (emptied first above 100 entries) with its size cut to 8 bytes and split at "*";
    // one worker per label.
    StartLabelPrint(lpszOrderNo, lpszSize);
    return TRUE;
}

BOOL CParvelView::OpenTabView(LPCSTR lpszText)
{
    if (!lpszText || !*lpszText)
        return FALSE;
    const char* pBar = strchr(lpszText, '|');
    if (!pBar)
        return FALSE;
    Navigate2(pBar + 1);
    return TRUE;
}

CString CParvelView::GetImportResult()
{
    char szTemp[260] = "";
    GetTempPath(sizeof(szTemp), szTemp);
    CString strPath;
    strPath.Format("%sImportReslt.tmp", szTemp);
    FILE* f = fopen(strPath, "r");
    if (!f)
        return CString();
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        text.append(buf, n);
    fclose(f);
    return CString(text.c_str());
}

BOOL CParvelView::ImportOrder()
{
    return StartOrderImport();
}

void CParvelView::ShowWaitDialog(LPCSTR lpszText)
{
    theApp.ShowWaitDialog(lpszText ? lpszText : "");
}

void CParvelView::HideWaitDialog()
{
    if (HWND hWait = theApp.m_waitDlg.GetSafeHwnd())
        ::PostMessage(hWait, WM_CLOSE, 0, 0);
}

void CParvelView::StartWork()
{
    if (CMainFrame* pFrame = MainFrame())
        pFrame->LoadXmlMenu();
}

HRESULT CParvelView::CExternal::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IDispatch)
    {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CParvelView::CExternal::Release()
{
    const ULONG nRef = --m_nRef;
    if (nRef == 0)
        delete this;
    return nRef;
}

HRESULT CParvelView::CExternal::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId)
{
    if (!rgszNames || !rgDispId || cNames < 1)
        return E_INVALIDARG;
    rgDispId[0] = DISPID_UNKNOWN;
    for (size_t i = 0; i < sizeof(kExternalNames) / sizeof(kExternalNames[0]); ++i)
        if (rgszNames[0] && wcscmp(rgszNames[0], kExternalNames[i]) == 0)
        {
            rgDispId[0] = (DISPID)(i + 1);
            return S_OK;
        }
    return DISP_E_UNKNOWNNAME;
}

HRESULT CParvelView::CExternal::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT* pResult,
                                       EXCEPINFO*, UINT*)
{
    std::string a0, a1;
    if (pResult)
        VariantInit(pResult);
    if (!m_pView)
        return E_UNEXPECTED;
    switch (id)
    {
    case 1:  // printReady
        SetBool(pResult, TRUE);
        return S_OK;
    case 2:  // printMailLable
        SetBool(pResult, m_pView->PrintMailLable(ArgText(pParams, 0, a0), ArgText(pParams, 1, a1)));
        return S_OK;
    case 3:  // openTabView
        SetBool(pResult, m_pView->OpenTabView(ArgText(pParams, 0, a0)));
        return S_OK;
    case 4:  // getImportResult
        if (pResult)
        {
            std::wstring w = CCodePage::AnsiToWide(m_pView->GetImportResult().GetString());
            pResult->vt = VT_BSTR;
            pResult->bstrVal = SysAllocStringLen(w.data(), (UINT)w.size());
        }
        return S_OK;
    case 5:  // importOrder
        SetBool(pResult, m_pView->ImportOrder());
        return S_OK;
    case 6:  // showWaitDialog
        m_pView->ShowWaitDialog(ArgText(pParams, 0, a0));
        return S_OK;
    case 7:  // hideWaitDialog
        m_pView->HideWaitDialog();
        return S_OK;
    case 8:  // startWork
        m_pView->StartWork();
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// ---------------------------------------------------------------------------------------------
// Page script functions

BOOL CParvelView::InvokePageScript(CParvelView* pView, LPCSTR lpszFunction, LPCSTR lpszArg1, LPCSTR lpszArg2,
                                   LPCSTR lpszArg3, VARIANT* pResult)
{
    CStringArray args;
    args.Add(lpszArg1 ? lpszArg1 : "");
    args.Add(lpszArg2 ? lpszArg2 : "");
    args.Add(lpszArg3 ? lpszArg3 : "");
    return CallScriptFunction(pView, lpszFunction, args, pResult);
}

BOOL CParvelView::CallScriptFunction(CParvelView* pView, LPCSTR lpszFunction, const CStringArray& args,
                                     VARIANT* pResult)
{
    const SCRIPT_CALL result = TryScriptFunction(pView, lpszFunction, args, pResult);
    if (result == SCRIPT_BUSY)
        Scrivo::trace("页面暂不能执行脚本，%s未调用", lpszFunction ? lpszFunction : "");
    return result == SCRIPT_CALLED;
}

CParvelView::SCRIPT_CALL CParvelView::TryScriptFunction(CParvelView* pView, LPCSTR lpszFunction,
                                                        const CStringArray& args, VARIANT* pResult)
{
    if (!pView)
        return SCRIPT_FAILED;
    // The script calls wait while posted messages run: one may close the tab meanwhile.
    const HWND hView = pView->GetSafeHwnd();
    IDispatch* pScript = nullptr;
    if (!pView->m_pHtmlDoc || FAILED(pView->m_pHtmlDoc->get_Script(&pScript)) || !pScript)
    {
        pView->MessageBox("函数GetJScrip调用失败！", GetParvelTitle(), MB_OK);
        return SCRIPT_FAILED;
    }
    std::wstring name = CCodePage::AnsiToWide(lpszFunction ? lpszFunction : "");
    LPOLESTR names[1] = {name.data()};
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = pScript->GetIDsOfNames(IID_NULL, names, 1, 0x0800, &dispid);
    if (FAILED(hr) || !::IsWindow(hView))
    {
        // A page without the function is told nothing; one that cannot run script now may
        // have it.
        pScript->Release();
        return hr == RPC_E_SERVERCALL_RETRYLATER && ::IsWindow(hView) ? SCRIPT_BUSY : SCRIPT_FAILED;
    }
    const UINT nArgs = (UINT)args.GetSize();
    std::vector<VARIANT> params(nArgs ? nArgs : 1);
    for (UINT i = 0; i < nArgs; ++i)
    {
        // Automation takes the last argument first.
        VARIANT& v = params[nArgs - 1 - i];
        VariantInit(&v);
        std::wstring w = CCodePage::AnsiToWide(args.GetAt((INT_PTR)i).GetString());
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(w.data(), (UINT)w.size());
    }
    DISPPARAMS dp{nArgs ? params.data() : nullptr, nullptr, nArgs, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT nArgErr = 0;
    hr = pScript->Invoke(dispid, IID_NULL, 0, DISPATCH_METHOD, &dp, &result, &excep, &nArgErr);
    for (UINT i = 0; i < nArgs; ++i)
        VariantClear(&params[i]);
    if (excep.bstrSource)
        SysFreeString(excep.bstrSource);
    if (excep.bstrDescription)
        SysFreeString(excep.bstrDescription);
    pScript->Release();
    if (hr == RPC_E_SERVERCALL_RETRYLATER)
    {
        VariantClear(&result);
        return ::IsWindow(hView) ? SCRIPT_BUSY : SCRIPT_FAILED;
    }
    if (FAILED(hr))
    {
        VariantClear(&result);
        if (!::IsWindow(hView))
            return SCRIPT_FAILED;
        char* pszText = nullptr;
        DWORD n = FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, (DWORD)hr,
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), (LPSTR)&pszText, 0, nullptr);
        pView->MessageBox(n && pszText ? pszText : "FormatMessage Netive Error", GetParvelTitle(), MB_OK);
        if (pszText)
            LocalFree((HANDLE)pszText);
        return SCRIPT_FAILED;
    }
    if (pResult)
        VariantCopy(pResult, &result);
    VariantClear(&result);
    return SCRIPT_CALLED;
}

void CParvelView::DeliverPageScript(LPCSTR lpszFunction, LPCSTR lpszArg1, LPCSTR lpszArg2, LPCSTR lpszArg3)
{
    PENDING_SCRIPT call;
    call.strFunction = lpszFunction ? lpszFunction : "";
    call.args.Add(lpszArg1 ? lpszArg1 : "");
    call.args.Add(lpszArg2 ? lpszArg2 : "");
    call.args.Add(lpszArg3 ? lpszArg3 : "");
    call.dwSince = GetTickCount();
    // Calls keep their order: one that comes while others wait waits behind them.
    if (m_pendingScripts.empty() && !m_bDeliveringScripts)
    {
        const HWND hWnd = GetSafeHwnd();
        const SCRIPT_CALL result = TryScriptFunction(this, call.strFunction, call.args, nullptr);
        if (!::IsWindow(hWnd))
        {
            if (result != SCRIPT_CALLED)
                Scrivo::trace("页面已关闭，%s未能送达", call.strFunction.GetString());
            return;
        }
        if (result != SCRIPT_BUSY)
            return;
    }
    Scrivo::trace("页面暂不能执行脚本，%s稍后送达", call.strFunction.GetString());
    m_pendingScripts.push_back(call);
    SetTimer(TIMER_PAGE_SCRIPT, kPageScriptRetryMs, nullptr);
}

void CParvelView::DeliverPendingScripts()
{
    // A try waits while posted messages and timers run: this timer must not start a second one.
    if (m_bDeliveringScripts)
        return;
    KillTimer(TIMER_PAGE_SCRIPT);
    const HWND hWnd = GetSafeHwnd();
    m_bDeliveringScripts = true;
    while (!m_pendingScripts.empty())
    {
        const PENDING_SCRIPT call = m_pendingScripts.front();
        const SCRIPT_CALL result = TryScriptFunction(this, call.strFunction, call.args, nullptr);
        if (!::IsWindow(hWnd))
            return;  // the view has gone, and has logged what it still held
        if (result == SCRIPT_BUSY && GetTickCount() - call.dwSince < kPageScriptWaitMs)
        {
            m_bDeliveringScripts = false;
            SetTimer(TIMER_PAGE_SCRIPT, kPageScriptRetryMs, nullptr);
            return;
        }
        if (result == SCRIPT_BUSY)
            Scrivo::trace("页面一直不能执行脚本，%s未能送达", call.strFunction.GetString());
        m_pendingScripts.pop_front();
    }
    m_bDeliveringScripts = false;
}
