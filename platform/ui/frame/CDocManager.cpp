#include "CDocManager.h"

#include "CDocTemplate.h"

IMPLEMENT_DYNAMIC(CDocManager, CCmdTarget)

CDocManager::~CDocManager()
{
    for (CDocTemplate* p : m_templateList)
        delete p;
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate)
        m_templateList.push_back(pTemplate);
}

POSITION CDocManager::GetFirstDocTemplatePosition() const
{
    return m_templateList.empty() ? nullptr : reinterpret_cast<POSITION>((uintptr_t)1);
}

CDocTemplate* CDocManager::GetNextDocTemplate(POSITION& pos) const
{
    size_t i = (size_t)reinterpret_cast<uintptr_t>(pos);
    if (i == 0 || i > m_templateList.size())
    {
        pos = nullptr;
        return nullptr;
    }
    pos = i < m_templateList.size() ? reinterpret_cast<POSITION>((uintptr_t)(i + 1)) : nullptr;
    return m_templateList[i - 1];
}

void CDocManager::OnFileNew()
{
    if (!m_templateList.empty())
        m_templateList.front()->OpenDocumentFile(nullptr);
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* p : m_templateList)
        p->CloseAllDocuments(bEndSession);
}

int CDocManager::GetOpenDocumentCount() const
{
    int n = 0;
    for (CDocTemplate* p : m_templateList)
        for (POSITION pos = p->GetFirstDocPosition(); pos;)
            if (p->GetNextDoc(pos))
                ++n;
    return n;
}
