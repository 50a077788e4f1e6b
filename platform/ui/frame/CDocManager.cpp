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
    return FirstPositionOf(m_templateList);
}

CDocTemplate* CDocManager::GetNextDocTemplate(POSITION& pos) const
{
    return NextAtPosition(m_templateList, pos);
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
