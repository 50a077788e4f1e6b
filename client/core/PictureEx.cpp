// The animated-GIF control: splits a GIF into one-frame GIFs that the picture loader decodes,
// and composes them on an off-screen surface from a thread of its own.
#include "PictureEx.h"

#include <cstring>
#include "KernelObject.h"

namespace
{
// Header and logical screen descriptor; the global colour table follows them.
const size_t kGifHeaderSize = 13;
// Larger than any screen the control is shown on: a picture beyond it is refused, not fitted.
const int kMaxPictureSide = 4096;

unsigned Word(const unsigned char* p)
{
    return (unsigned)p[0] | ((unsigned)p[1] << 8);
}

size_t ColorTableSize(unsigned char packed)
{
    return (packed & 0x80) ? 3u * (1u << ((packed & 7) + 1)) : 0;
}

// A movable global block holding a copy of the bytes; null when it cannot be made.
HGLOBAL CopyToGlobal(const void* pData, size_t nSize)
{
    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE, nSize);
    if (!hGlobal)
        return nullptr;
    void* pCopy = GlobalLock(hGlobal);
    if (!pCopy)
    {
        GlobalFree(hGlobal);
        return nullptr;
    }
    memcpy(pCopy, pData, nSize);
    GlobalUnlock(hGlobal);
    return hGlobal;
}
}  // namespace

BEGIN_MESSAGE_MAP(CPictureEx, CStatic)
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CPictureEx::CPictureEx()
    : m_pictureSize{0, 0},
      m_clrBackground(RGB(255, 255, 255)),
      m_nCurrFrame(0),
      m_nDataSize(0),
      m_nCurrOffset(0),
      m_nGlobalCTSize(0),
      m_bIsGIF(FALSE),
      m_bIsPlaying(FALSE),
      m_bExitThread(FALSE),
      m_bIsInitialized(FALSE),
      m_hMemDC(nullptr),
      m_hBitmap(nullptr),
      m_hOldBitmap(nullptr),
      m_hDispMemDC(nullptr),
      m_hDispMemBM(nullptr),
      m_hDispOldBM(nullptr),
      m_hThread(nullptr),
      m_hExitEvent(nullptr),
      m_pPicture(nullptr),
      m_pRawData(nullptr)
{
    m_hExitEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
}

CPictureEx::~CPictureEx()
{
    UnLoad();
    if (m_hExitEvent)
        CloseHandle(m_hExitEvent);
    m_hExitEvent = nullptr;
}

BOOL CPictureEx::Load(LPCSTR lpszResourceName, LPCSTR lpszResourceType)
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResource((HMODULE)hInstance, lpszResourceName, lpszResourceType);
    if (!hResource)
        return FALSE;
    HGLOBAL hResData = ::LoadResource((HMODULE)hInstance, hResource);
    if (!hResData)
        return FALSE;
    DWORD dwSize = ::SizeofResource((HMODULE)hInstance, hResource);
    const void* pResData = ::LockResource(hResData);
    if (!pResData || dwSize == 0)
        return FALSE;

    HGLOBAL hGlobal = CopyToGlobal(pResData, dwSize);
    if (!hGlobal)
        return FALSE;

    BOOL bResult = Load(hGlobal, dwSize);
    GlobalFree(hGlobal);
    return bResult;
}

BOOL CPictureEx::Load(HGLOBAL hGlobal, DWORD dwSize)
{
    UnLoad();

    m_pRawData = (const unsigned char*)GlobalLock(hGlobal);
    if (!m_pRawData)
        return FALSE;
    // Never read past the block, whatever size the caller claims.
    m_nDataSize = dwSize;
    if (m_nDataSize > GlobalSize(hGlobal))
        m_nDataSize = GlobalSize(hGlobal);

    m_bIsGIF = m_nDataSize >= 3 && memcmp(m_pRawData, "GIF", 3) == 0;
    BOOL bLoaded = FALSE;
    if (!m_bIsGIF)
    {
        bLoaded = LoadSinglePicture(m_pRawData, m_nDataSize);
        if (bLoaded)
        {
            OLE_XSIZE_HIMETRIC hmWidth = 0;
            OLE_YSIZE_HIMETRIC hmHeight = 0;
            m_pPicture->get_Width(&hmWidth);
            m_pPicture->get_Height(&hmHeight);
            HDC hDC = ::GetDC(m_hWnd);
            m_pictureSize.cx = MulDiv(hmWidth, GetDeviceCaps(hDC, LOGPIXELSX), 2540);
            m_pictureSize.cy = MulDiv(hmHeight, GetDeviceCaps(hDC, LOGPIXELSY), 2540);
            ::ReleaseDC(m_hWnd, hDC);
        }
    }
    else if (m_nDataSize >= kGifHeaderSize)
    {
        const unsigned char* pLSD = m_pRawData + 6;
        m_nGlobalCTSize = ColorTableSize(pLSD[4]);
        m_pictureSize.cx = (LONG)Word(pLSD);
        m_pictureSize.cy = (LONG)Word(pLSD + 2);

        int nFrames = 0;
        m_nCurrOffset = kGifHeaderSize + m_nGlobalCTSize;
        while (SkipNextGraphicBlock())
            ++nFrames;

        if (nFrames == 1)
            bLoaded = LoadSinglePicture(m_pRawData, m_nDataSize);
        else if (nFrames > 1)
        {
            m_nCurrOffset = kGifHeaderSize + m_nGlobalCTSize;
            TFrame frame;
            size_t nBlockLen = 0;
            HGLOBAL hFrame;
            while ((hFrame = GetNextGraphicBlock(&nBlockLen, &frame.m_nDelay, &frame.m_frameSize,
                                                 &frame.m_frameOffset, &frame.m_nDisposal)) != nullptr)
            {
                IStream* pStream = nullptr;
                if (FAILED(CreateStreamOnHGlobal(hFrame, TRUE, &pStream)) || !pStream)
                {
                    GlobalFree(hFrame);
                    continue;
                }
                frame.m_pPicture = nullptr;
                HRESULT hr = OleLoadPicture(pStream, (LONG)nBlockLen, FALSE, IID_IPicture, (void**)&frame.m_pPicture);
                pStream->Release();
                if (FAILED(hr) || !frame.m_pPicture)
                    continue;
                m_frames.push_back(frame);
            }
            bLoaded = !m_frames.empty();
        }
    }

    GlobalUnlock(hGlobal);
    m_pRawData = nullptr;
    if (!bLoaded)
    {
        UnLoad();
        return FALSE;
    }
    if (!PrepareDC(m_pictureSize.cx, m_pictureSize.cy))
    {
        UnLoad();
        return FALSE;
    }
    return TRUE;
}

BOOL CPictureEx::LoadSinglePicture(const void* pData, size_t nSize)
{
    // The stream gets a copy: the caller's block is not the stream's to free.
    HGLOBAL hCopy = CopyToGlobal(pData, nSize);
    if (!hCopy)
        return FALSE;

    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(hCopy, TRUE, &pStream)) || !pStream)
    {
        GlobalFree(hCopy);
        return FALSE;
    }
    HRESULT hr = OleLoadPicture(pStream, (LONG)nSize, FALSE, IID_IPicture, (void**)&m_pPicture);
    pStream->Release();
    if (FAILED(hr) || !m_pPicture)
    {
        m_pPicture = nullptr;
        return FALSE;
    }
    return TRUE;
}

CPictureEx::GIFBlockTypes CPictureEx::GetNextBlock() const
{
    if (m_nCurrOffset >= m_nDataSize)
        return BLOCK_UNKNOWN;
    switch (m_pRawData[m_nCurrOffset])
    {
    case 0x21:
        if (m_nCurrOffset + 1 >= m_nDataSize)
            return BLOCK_UNKNOWN;
        switch (m_pRawData[m_nCurrOffset + 1])
        {
        case 0x01: return BLOCK_PLAINTEXT;
        case 0xF9: return BLOCK_CONTROLEXT;
        case 0xFE: return BLOCK_COMMEXT;
        case 0xFF: return BLOCK_APPEXT;
        default: return BLOCK_UNKNOWN;
        }
    case 0x2C: return BLOCK_IMAGE;
    case 0x3B: return BLOCK_TRAILER;
    default: return BLOCK_UNKNOWN;
    }
}

size_t CPictureEx::GetSubBlocksLen(size_t nOffset) const
{
    size_t nLen = 0;
    while (nOffset < m_nDataSize)
    {
        size_t n = m_pRawData[nOffset];
        nLen += n + 1;
        if (n == 0)
            return nLen;
        nOffset += n + 1;
    }
    return 0;
}

size_t CPictureEx::GetNextBlockLen() const
{
    size_t nLen = 0;
    size_t nSubBlocks = 0;
    switch (GetNextBlock())
    {
    case BLOCK_APPEXT:
        nSubBlocks = GetSubBlocksLen(m_nCurrOffset + 14);
        nLen = nSubBlocks ? 14 + nSubBlocks : 0;
        break;
    case BLOCK_COMMEXT:
        nSubBlocks = GetSubBlocksLen(m_nCurrOffset + 2);
        nLen = nSubBlocks ? 2 + nSubBlocks : 0;
        break;
    case BLOCK_CONTROLEXT:
        nLen = 8;
        break;
    case BLOCK_PLAINTEXT:
        nSubBlocks = GetSubBlocksLen(m_nCurrOffset + 15);
        nLen = nSubBlocks ? 15 + nSubBlocks : 0;
        break;
    case BLOCK_IMAGE:
    {
        if (m_nCurrOffset + 10 > m_nDataSize)
            return 0;
        size_t nLocalCT = ColorTableSize(m_pRawData[m_nCurrOffset + 9]);
        nSubBlocks = GetSubBlocksLen(m_nCurrOffset + 10 + nLocalCT + 1);
        nLen = nSubBlocks ? 10 + nLocalCT + 1 + nSubBlocks : 0;
        break;
    }
    case BLOCK_TRAILER:
        nLen = 1;
        break;
    case BLOCK_UNKNOWN:
        return 0;
    }
    if (nLen == 0 || m_nCurrOffset + nLen > m_nDataSize)
        return 0;
    return nLen;
}

BOOL CPictureEx::SkipNextBlock()
{
    size_t nLen = GetNextBlockLen();
    if (nLen == 0)
        return FALSE;
    m_nCurrOffset += nLen;
    return TRUE;
}

BOOL CPictureEx::SkipNextGraphicBlock()
{
    GIFBlockTypes block;
    while ((block = GetNextBlock()) == BLOCK_APPEXT || block == BLOCK_COMMEXT)
        if (!SkipNextBlock())
            return FALSE;
    if (block != BLOCK_CONTROLEXT && block != BLOCK_IMAGE && block != BLOCK_PLAINTEXT)
        return FALSE;
    if (block == BLOCK_CONTROLEXT)
    {
        while ((block = GetNextBlock()) == BLOCK_CONTROLEXT || block == BLOCK_APPEXT || block == BLOCK_COMMEXT)
            if (!SkipNextBlock())
                return FALSE;
        if (block != BLOCK_IMAGE && block != BLOCK_PLAINTEXT)
            return FALSE;
    }
    return SkipNextBlock();
}

HGLOBAL CPictureEx::GetNextGraphicBlock(size_t* pnBlockLen, UINT* pnDelay, SIZE* pBlockSize, SIZE* pBlockOffset,
                                        UINT* pnDisposal)
{
    *pnBlockLen = 0;
    *pnDelay = 0xFFFFFFFF;
    *pnDisposal = 0;
    pBlockSize->cx = pBlockSize->cy = 0;
    pBlockOffset->cx = pBlockOffset->cy = 0;

    GIFBlockTypes block;
    while ((block = GetNextBlock()) == BLOCK_APPEXT || block == BLOCK_COMMEXT)
        if (!SkipNextBlock())
            return nullptr;
    if (block != BLOCK_CONTROLEXT && block != BLOCK_IMAGE && block != BLOCK_PLAINTEXT)
        return nullptr;

    size_t nStart = m_nCurrOffset;
    if (block == BLOCK_CONTROLEXT)
    {
        if (GetNextBlockLen() == 0)
            return nullptr;
        const unsigned char* pControl = m_pRawData + m_nCurrOffset;
        *pnDelay = Word(pControl + 4);
        *pnDisposal = (pControl[3] >> 2) & 7;
    }

    // The frame runs through its first image or plain-text block, extensions included.
    for (;;)
    {
        block = GetNextBlock();
        if (block == BLOCK_IMAGE || block == BLOCK_PLAINTEXT)
            break;
        if (block != BLOCK_CONTROLEXT && block != BLOCK_APPEXT && block != BLOCK_COMMEXT)
            return nullptr;
        if (!SkipNextBlock())
            return nullptr;
    }
    if (block == BLOCK_IMAGE && GetNextBlockLen() != 0)
    {
        const unsigned char* pImage = m_pRawData + m_nCurrOffset;
        pBlockOffset->cx = (LONG)Word(pImage + 1);
        pBlockOffset->cy = (LONG)Word(pImage + 3);
        pBlockSize->cx = (LONG)Word(pImage + 5);
        pBlockSize->cy = (LONG)Word(pImage + 7);
    }
    if (!SkipNextBlock())
        return nullptr;

    size_t nFrameBytes = m_nCurrOffset - nStart;
    size_t nHeader = kGifHeaderSize + m_nGlobalCTSize;
    size_t nLen = nHeader + nFrameBytes + 1;
    HGLOBAL hFrame = GlobalAlloc(GMEM_FIXED, nLen);
    if (!hFrame)
        return nullptr;
    unsigned char* pFrame = (unsigned char*)hFrame;
    memcpy(pFrame, m_pRawData, nHeader);
    memcpy(pFrame + nHeader, m_pRawData + nStart, nFrameBytes);
    pFrame[nLen - 1] = 0x3B;
    *pnBlockLen = nLen;
    return hFrame;
}

BOOL CPictureEx::PrepareDC(int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0 || nWidth > kMaxPictureSide || nHeight > kMaxPictureSide)
        return FALSE;
    SetWindowPos(nullptr, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER);

    HDC hWinDC = ::GetDC(m_hWnd);
    if (!hWinDC)
        return FALSE;
    m_hMemDC = CreateCompatibleDC(hWinDC);
    m_hBitmap = m_hMemDC ? CreateCompatibleBitmap(hWinDC, nWidth, nHeight) : nullptr;
    ::ReleaseDC(m_hWnd, hWinDC);
    if (!m_hMemDC || !m_hBitmap)
    {
        if (m_hBitmap)
            DeleteObject((HGDIOBJ)m_hBitmap);
        if (m_hMemDC)
            DeleteDC(m_hMemDC);
        m_hBitmap = nullptr;
        m_hMemDC = nullptr;
        return FALSE;
    }
    m_hOldBitmap = SelectObject(m_hMemDC, (HGDIOBJ)m_hBitmap);

    m_clrBackground = GetSysColor(COLOR_BTNFACE);
    RECT rc = {0, 0, nWidth, nHeight};
    FillRect(m_hMemDC, &rc, (HBRUSH)(INT_PTR)(COLOR_MENU + 1));
    m_bIsInitialized = TRUE;
    return TRUE;
}

BOOL CPictureEx::Draw()
{
    if (!m_bIsInitialized)
        return FALSE;

    if (m_bIsGIF && m_frames.size() > 1)
    {
        // One animation at a time: a second Draw while playing changes nothing.
        if (m_hThread.load())
            return FALSE;
        unsigned nThreadId = 0;
        HANDLE hThread = (HANDLE)_beginthreadex(nullptr, 0, &CPictureEx::_ThreadAnimation, this, CREATE_SUSPENDED,
                                                &nThreadId);
        if (hThread)
        {
            m_hThread.store(hThread);
            ResumeThread(hThread);
        }
        return FALSE;
    }

    if (!m_pPicture)
        return FALSE;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    m_pPicture->get_Width(&hmWidth);
    m_pPicture->get_Height(&hmHeight);
    if (FAILED(m_pPicture->Render(m_hMemDC, 0, 0, m_pictureSize.cx, m_pictureSize.cy, 0, hmHeight, hmWidth, -hmHeight,
                                  nullptr)))
        return FALSE;
    Invalidate(FALSE);
    return TRUE;
}

unsigned CPictureEx::_ThreadAnimation(void* pParam)
{
    CPictureEx* pPicture = (CPictureEx*)pParam;
    pPicture->m_bIsPlaying = TRUE;
    pPicture->ThreadAnimation();
    pPicture->m_bIsPlaying = FALSE;
    // Whoever takes the handle closes it: the thread when it ends alone, Stop when it waits.
    HANDLE hThread = pPicture->m_hThread.exchange(nullptr);
    if (hThread)
        CloseHandle(hThread);
    return 0;
}

DWORD CPictureEx::FrameWaitTime(UINT nDelay)
{
    // Browsers show short or missing delays as a tenth of a second; so do we.
    if (nDelay < 5 || nDelay == 0xFFFFFFFF)
        return 100;
    return (DWORD)nDelay * 10;
}

void CPictureEx::ClearSurface(const RECT& rc)
{
    HBRUSH hBrush = CreateSolidBrush(m_clrBackground);
    if (hBrush)
    {
        FillRect(m_hMemDC, &rc, hBrush);
        DeleteObject((HGDIOBJ)hBrush);
    }
}

void CPictureEx::DisposeFrame(const TFrame& frame)
{
    RECT rc = {frame.m_frameOffset.cx, frame.m_frameOffset.cy, frame.m_frameOffset.cx + frame.m_frameSize.cx,
               frame.m_frameOffset.cy + frame.m_frameSize.cy};
    switch (frame.m_nDisposal)
    {
    case 2:
        ClearSurface(rc);
        break;
    case 3:
        if (m_hDispMemDC)
        {
            BitBlt(m_hMemDC, rc.left, rc.top, frame.m_frameSize.cx, frame.m_frameSize.cy, m_hDispMemDC, 0, 0, SRCCOPY);
            SelectObject(m_hDispMemDC, m_hDispOldBM);
            DeleteDC(m_hDispMemDC);
            DeleteObject((HGDIOBJ)m_hDispMemBM);
            m_hDispMemDC = nullptr;
            m_hDispMemBM = nullptr;
            m_hDispOldBM = nullptr;
        }
        break;
    default:
        break;
    }
}

void CPictureEx::ThreadAnimation()
{
    // The frame on which a previous run stopped is disposed of before it shows again.
    if ((size_t)m_nCurrFrame < m_frames.size())
        DisposeFrame(m_frames[(size_t)m_nCurrFrame]);

    while (!m_bExitThread)
    {
        TFrame& frame = m_frames[(size_t)m_nCurrFrame];
        if (frame.m_pPicture)
        {
            if (frame.m_nDisposal == 3 && !m_hDispMemDC)
            {
                // Remember what the frame covers, to put it back after the frame.
                m_hDispMemDC = CreateCompatibleDC(m_hMemDC);
                m_hDispMemBM = CreateCompatibleBitmap(m_hMemDC, frame.m_frameSize.cx, frame.m_frameSize.cy);
                if (m_hDispMemDC && m_hDispMemBM)
                {
                    m_hDispOldBM = SelectObject(m_hDispMemDC, (HGDIOBJ)m_hDispMemBM);
                    BitBlt(m_hDispMemDC, 0, 0, frame.m_frameSize.cx, frame.m_frameSize.cy, m_hMemDC,
                           frame.m_frameOffset.cx, frame.m_frameOffset.cy, SRCCOPY);
                }
                else
                {
                    if (m_hDispMemBM)
                        DeleteObject((HGDIOBJ)m_hDispMemBM);
                    if (m_hDispMemDC)
                        DeleteDC(m_hDispMemDC);
                    m_hDispMemDC = nullptr;
                    m_hDispMemBM = nullptr;
                }
            }
            OLE_XSIZE_HIMETRIC hmWidth = 0;
            OLE_YSIZE_HIMETRIC hmHeight = 0;
            frame.m_pPicture->get_Width(&hmWidth);
            frame.m_pPicture->get_Height(&hmHeight);
            if (SUCCEEDED(frame.m_pPicture->Render(m_hMemDC, frame.m_frameOffset.cx, frame.m_frameOffset.cy,
                                                   frame.m_frameSize.cx, frame.m_frameSize.cy, 0, hmHeight, hmWidth,
                                                   -hmHeight, nullptr)))
                Invalidate(FALSE);
        }

        if (m_bExitThread)
            break;
        WaitForSingleObject(m_hExitEvent, FrameWaitTime(frame.m_nDelay));
        if (m_bExitThread)
            break;

        DisposeFrame(frame);

        int nNext = m_nCurrFrame + 1;
        if ((size_t)nNext >= m_frames.size())
        {
            nNext = 0;
            RECT rc = {0, 0, m_pictureSize.cx, m_pictureSize.cy};
            ClearSurface(rc);
        }
        m_nCurrFrame = nNext;
    }
}

void CPictureEx::Stop()
{
    m_bIsPlaying = FALSE;
    m_bExitThread = TRUE;
    SetEvent(m_hExitEvent);
    HANDLE hThread = m_hThread.exchange(nullptr);
    if (hThread)
    {
        WaitForSingleObject(hThread, 5000);
        CloseHandle(hThread);
    }
    ResetEvent(m_hExitEvent);
    m_bExitThread = FALSE;
}

void CPictureEx::UnLoad()
{
    Stop();
    if (m_pPicture)
        m_pPicture->Release();
    m_pPicture = nullptr;
    for (TFrame& frame : m_frames)
        if (frame.m_pPicture)
            frame.m_pPicture->Release();
    m_frames.clear();

    if (m_hMemDC)
    {
        SelectObject(m_hMemDC, m_hOldBitmap);
        DeleteDC(m_hMemDC);
    }
    if (m_hBitmap)
        DeleteObject((HGDIOBJ)m_hBitmap);
    if (m_hDispMemDC)
    {
        SelectObject(m_hDispMemDC, m_hDispOldBM);
        DeleteDC(m_hDispMemDC);
    }
    if (m_hDispMemBM)
        DeleteObject((HGDIOBJ)m_hDispMemBM);
    m_hMemDC = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    m_hDispMemDC = nullptr;
    m_hDispMemBM = nullptr;
    m_hDispOldBM = nullptr;

    m_pRawData = nullptr;
    m_nDataSize = 0;
    m_nCurrOffset = 0;
    m_nGlobalCTSize = 0;
    m_nCurrFrame = 0;
    m_bIsGIF = FALSE;
    m_bIsPlaying = FALSE;
    m_bExitThread = FALSE;
    m_bIsInitialized = FALSE;
    m_pictureSize.cx = m_pictureSize.cy = 0;
    m_clrBackground = RGB(255, 255, 255);
}

void CPictureEx::OnPaint()
{
    CPaintDC dc(this);
    if (m_hMemDC)
        BitBlt(dc.GetSafeHdc(), 0, 0, m_pictureSize.cx, m_pictureSize.cy, m_hMemDC, 0, 0, SRCCOPY);
}

void CPictureEx::OnDestroy()
{
    Stop();
    CStatic::OnDestroy();
}
