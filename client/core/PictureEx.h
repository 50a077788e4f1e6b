// A static control that shows a picture and plays an animated GIF on a thread of its own.
#pragma once

#include <atomic>
#include <vector>
#include "AfxWin.h"
#include "Gdi.h"
#include "GlobalMemory.h"
#include "Picture.h"

class CPictureEx : public CStatic
{
public:
    // One frame of an animation, decoded from a one-frame GIF cut out of the file.
    struct TFrame
    {
        IPicture* m_pPicture;  // owned; released when the control unloads
        SIZE m_frameSize;
        SIZE m_frameOffset;
        UINT m_nDelay;         // hundredths of a second; 0xFFFFFFFF without a control extension
        UINT m_nDisposal;
    };

    CPictureEx();
    ~CPictureEx() override;

    // The caller keeps and frees the block.
    BOOL Load(HGLOBAL hGlobal, DWORD dwSize);
    // A resource of the program, e.g. Load(MAKEINTRESOURCE(355), "GIF").
    BOOL Load(LPCSTR lpszResourceName, LPCSTR lpszResourceType);
    BOOL Draw();
    void Stop();
    void UnLoad();

    // State for those who show the control (and for tests).
    BOOL IsGIF() const { return m_bIsGIF; }
    BOOL IsPlaying() const { return m_bIsPlaying; }
    int GetFrameCount() const { return (int)m_frames.size(); }
    const TFrame& GetFrame(int nIndex) const { return m_frames[(size_t)nIndex]; }
    int GetCurrentFrame() const { return m_nCurrFrame; }
    SIZE GetSize() const { return m_pictureSize; }
    COLORREF GetBkColor() const { return m_clrBackground; }
    // The off-screen surface the animation composes into (NULL before a load).
    HDC GetSurfaceDC() const { return m_hMemDC; }

protected:
    enum GIFBlockTypes
    {
        BLOCK_UNKNOWN,
        BLOCK_APPEXT,
        BLOCK_COMMEXT,
        BLOCK_CONTROLEXT,
        BLOCK_PLAINTEXT,
        BLOCK_IMAGE,
        BLOCK_TRAILER
    };

    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    // The GIF walker; every read stays inside the loaded data.
    GIFBlockTypes GetNextBlock() const;
    // Length of the block at the current offset, 0 when unknown or running past the data.
    size_t GetNextBlockLen() const;
    // Length of the sub-block chain at the offset with its zero terminator, 0 when it runs off.
    size_t GetSubBlocksLen(size_t nOffset) const;
    BOOL SkipNextBlock();
    BOOL SkipNextGraphicBlock();
    // The next frame as a one-frame GIF in a new fixed block (NULL at the end of the frames).
    HGLOBAL GetNextGraphicBlock(size_t* pnBlockLen, UINT* pnDelay, SIZE* pBlockSize, SIZE* pBlockOffset,
                                UINT* pnDisposal);
    BOOL LoadSinglePicture(const void* pData, size_t nSize);
    BOOL PrepareDC(int nWidth, int nHeight);
    void ClearSurface(const RECT& rc);
    void DisposeFrame(const TFrame& frame);
    void ThreadAnimation();
    static unsigned _ThreadAnimation(void* pParam);
    static DWORD FrameWaitTime(UINT nDelay);

    SIZE m_pictureSize;
    COLORREF m_clrBackground;
    std::atomic<int> m_nCurrFrame;
    size_t m_nDataSize;
    size_t m_nCurrOffset;
    size_t m_nGlobalCTSize;
    BOOL m_bIsGIF;
    std::atomic<int> m_bIsPlaying;
    std::atomic<int> m_bExitThread;
    BOOL m_bIsInitialized;
    HDC m_hMemDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOldBitmap;
    HDC m_hDispMemDC;
    HBITMAP m_hDispMemBM;
    HGDIOBJ m_hDispOldBM;
    std::atomic<HANDLE> m_hThread;
    HANDLE m_hExitEvent;
    IPicture* m_pPicture;
    const unsigned char* m_pRawData;
    std::vector<TFrame> m_frames;
};
