// The questions the browser asks its host, as abstract classes. CHtmlView asks them of the site
// that its CreateControlSite handed out (or answers them itself with its overridables when no site
// was given): message boxes of pages, the context menu, the external object, the URL-action
// policy (applied to the engine's settings when the browser is created), script errors and the
// browser's own messages.
#pragma once

#include "OleAuto.h"
#include "WinUser.h"
#include "WebExport.h"

PARVEL_WEB_BEGIN_EXPORTS

typedef ULONG_PTR DWORD_PTR;

// Results of the security manager and the command target.
#define INET_E_DEFAULT_ACTION ((HRESULT)(int32_t)0x800C0011u)
#define OLECMDERR_E_NOTSUPPORTED ((HRESULT)(int32_t)0x80040100u)

// URL actions and policies.
#define URLACTION_ACTIVEX_MIN 0x00001200
#define URLACTION_ACTIVEX_MAX 0x000013FF
#define URLACTION_SCRIPT_MIN 0x00001400
#define URLACTION_SCRIPT_RUN 0x00001400
#define URLACTION_CROSS_DOMAIN_DATA 0x00001406
#define URLACTION_SCRIPT_MAX 0x000015FF
#define URLACTION_HTML_SUBMIT_FORMS 0x00001601
#define URLACTION_HTML_JAVA_RUN 0x00001605
#define URLACTION_JAVA_MIN 0x00001C00
#define URLACTION_JAVA_MAX 0x00001CFF
#define URLPOLICY_ALLOW 0x00
#define URLPOLICY_DISALLOW 0x03

// Commands of the host command group.
#define OLECMDID_SHOWSCRIPTERROR 40
#define OLECMDID_SHOWMESSAGE 41

// Host-information flags.
#define DOCHOSTUIFLAG_THEME 0x00040000
#define DOCHOSTUIFLAG_NOTHEME 0x00080000

// Ready states of the page being loaded.
enum tagREADYSTATE
{
    READYSTATE_UNINITIALIZED = 0,
    READYSTATE_LOADING = 1,
    READYSTATE_LOADED = 2,
    READYSTATE_INTERACTIVE = 3,
    READYSTATE_COMPLETE = 4,
};
typedef int READYSTATE;

// Commands whose state the browser reports.
#define CSC_UPDATECOMMANDS (-1)
#define CSC_NAVIGATEFORWARD 1
#define CSC_NAVIGATEBACK 2

extern const IID IID_IDocHostShowUI;
extern const IID IID_IDocHostUIHandler;
extern const IID IID_IDocHostUIHandler2;
extern const IID IID_IInternetSecurityManager;
extern const IID IID_IServiceProvider;
extern const IID IID_IOleCommandTarget;
extern const GUID CGID_DocHostCommandHandler;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const CLSID& REFCLSID;

struct DOCHOSTUIINFO
{
    ULONG cbSize;
    DWORD dwFlags;
    DWORD dwDoubleClick;
    LPWSTR pchHostCss;
    LPWSTR pchHostNS;
};

struct OLECMD
{
    ULONG cmdID;
    DWORD cmdf;
};

struct IDocHostShowUI : IUnknown
{
    virtual HRESULT ShowMessage(HWND hwnd, LPOLESTR lpstrText, LPOLESTR lpstrCaption, DWORD dwType,
                                LPOLESTR lpstrHelpFile, DWORD dwHelpContext, LRESULT* plResult) = 0;
    virtual HRESULT ShowHelp(HWND hwnd, LPOLESTR pszHelpFile, UINT uCommand, DWORD dwData, POINT ptMouse,
                             IDispatch* pDispatchObjectHit) = 0;
};

struct IDocHostUIHandler : IUnknown
{
    virtual HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) = 0;
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) = 0;
    virtual HRESULT ShowUI(DWORD dwID, IUnknown* pActiveObject, IUnknown* pCommandTarget, IUnknown* pFrame,
                           IUnknown* pDoc) = 0;
    virtual HRESULT HideUI() = 0;
    virtual HRESULT UpdateUI() = 0;
    virtual HRESULT EnableModeless(BOOL fEnable) = 0;
    virtual HRESULT OnDocWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT OnFrameWindowActivate(BOOL fActivate) = 0;
    virtual HRESULT ResizeBorder(LPCRECT prcBorder, IUnknown* pUIWindow, BOOL fRameWindow) = 0;
    virtual HRESULT TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) = 0;
    virtual HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) = 0;
    virtual HRESULT GetDropTarget(IUnknown* pDropTarget, IUnknown** ppDropTarget) = 0;
    virtual HRESULT GetExternal(IDispatch** ppDispatch) = 0;
    virtual HRESULT TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut) = 0;
    virtual HRESULT FilterDataObject(IUnknown* pDO, IUnknown** ppDORet) = 0;
};

struct IDocHostUIHandler2 : IDocHostUIHandler
{
    virtual HRESULT GetOverrideKeyPath(LPOLESTR* pchKey, DWORD dw) = 0;
};

struct IInternetSecurityManager : IUnknown
{
    virtual HRESULT SetSecuritySite(IUnknown* pSite) = 0;
    virtual HRESULT GetSecuritySite(IUnknown** ppSite) = 0;
    virtual HRESULT MapUrlToZone(LPCWSTR pwszUrl, DWORD* pdwZone, DWORD dwFlags) = 0;
    virtual HRESULT GetSecurityId(LPCWSTR pwszUrl, BYTE* pbSecurityId, DWORD* pcbSecurityId, DWORD_PTR dwReserved) = 0;
    virtual HRESULT ProcessUrlAction(LPCWSTR pwszUrl, DWORD dwAction, BYTE* pPolicy, DWORD cbPolicy, BYTE* pContext,
                                     DWORD cbContext, DWORD dwFlags, DWORD dwReserved) = 0;
    virtual HRESULT QueryCustomPolicy(LPCWSTR pwszUrl, REFGUID guidKey, BYTE** ppPolicy, DWORD* pcbPolicy,
                                      BYTE* pContext, DWORD cbContext, DWORD dwReserved) = 0;
    virtual HRESULT SetZoneMapping(DWORD dwZone, LPCWSTR lpszPattern, DWORD dwFlags) = 0;
    virtual HRESULT GetZoneMappings(DWORD dwZone, IUnknown** ppenumString, DWORD dwFlags) = 0;
};

struct IServiceProvider : IUnknown
{
    virtual HRESULT QueryService(REFGUID guidService, REFIID riid, void** ppvObject) = 0;
};

struct IOleCommandTarget : IUnknown
{
    virtual HRESULT QueryStatus(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[], void* pCmdText) = 0;
    // For OLECMDID_SHOWMESSAGE the browser layer passes the message text as a BSTR in pvaIn (the
    // page's current message); pvaOut receives whether the host took the message.
    virtual HRESULT Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn,
                         VARIANT* pvaOut) = 0;
};

class CHtmlView;
class CWnd;

// The site in which a view hosts its browser: the base of the sites that views hand out in
// CreateControlSite. Its QueryInterface answers the interfaces the derived site lists in
// GetSiteInterface; reference counting keeps the site alive while the browser holds it.
class COleControlSite : public IUnknown
{
public:
    explicit COleControlSite(CWnd* pContainer) : m_pCtrlCont(pContainer) {}
    virtual ~COleControlSite() = default;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++m_dwRef; }
    ULONG Release() override;
    // The site's own interface lookup: the object answering riid, or NULL.
    HRESULT ExternalQueryInterface(const IID* piid, void** ppv) { return QueryInterface(*piid, ppv); }

    CWnd* m_pCtrlCont;

protected:
    virtual void* GetSiteInterface(REFIID riid) { return nullptr; }
    ULONG m_dwRef = 1;
};

PARVEL_WEB_END_EXPORTS
