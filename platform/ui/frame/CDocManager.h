// CDocManager: the application's document templates. The new-file command opens a new document
// of the only template (several templates would need a choice, which this program never has).
#pragma once

#include <vector>
#include "CCmdTarget.h"
#include "CCreateContext.h"
#include "UiExport.h"

PARVEL_UI_BEGIN_EXPORTS

class CDocManager : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager() = default;
    ~CDocManager() override;

    // The manager owns its templates and deletes them with itself.
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    void OnFileNew();
    void CloseAllDocuments(BOOL bEndSession);
    int GetOpenDocumentCount() const;

private:
    std::vector<CDocTemplate*> m_templateList;
};

PARVEL_UI_END_EXPORTS
