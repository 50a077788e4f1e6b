#include "CRichEditStream.h"

#include "CRtfReader.h"

std::string CRichEditStream::ReadAll(EDITSTREAM& es)
{
    std::string data;
    BYTE buf[4096];
    for (;;)
    {
        LONG got = 0;
        es.dwError = es.pfnCallback(es.dwCookie, buf, (LONG)sizeof buf, &got);
        if (es.dwError || got <= 0) break;
        data.append((const char*)buf, (size_t)got);
    }
    return data;
}

LRESULT CRichEditStream::StreamIn(CRichEditState* s, WPARAM format, EDITSTREAM& es)
{
    std::string data = ReadAll(es);
    if (!(format & SFF_SELECTION)) s->SetSelection(0, -1);
    std::vector<RichChar> ins;
    // Rich text brings its own formatting, starting from the control's default; plain text
    // takes the format at the selection.
    if ((format & SF_RTF) && data.compare(0, 5, "{\\rtf") == 0)
        ins = CRtfReader(*s, s->formats[0]).Read(data);
    else
        CRichEditState::AppendChars(ins, data.data(), data.size(), s->Intern(s->SelectionFormat()));
    s->ReplaceSelection(ins);
    return (LRESULT)data.size();
}
