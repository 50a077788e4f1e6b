// EM_STREAMIN of the rich edit control: the caller's callback gives the text, rich or plain.
#pragma once

#include <string>
#include "CRichEditState.h"

class CRichEditStream
{
public:
    // Reads the stream to its end (a callback error is left in dwError) and puts what came in
    // place of the selection (SFF_SELECTION) or of all the text; answers the bytes read.
    static LRESULT StreamIn(CRichEditState* s, WPARAM format, EDITSTREAM& es);

private:
    static std::string ReadAll(EDITSTREAM& es);
};
