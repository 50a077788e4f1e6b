// The check every XML reply passes before TinyXML reads it: whatever it lets through, TinyXML
// builds no element deeper than the limit, in the legacy (GBK) reading and, for UTF-8 text, in
// the UTF-8 reading; so no reply can recurse the parser into the stack's end.
#include <tinyxml.h>
#include "FuzzSupport.h"
#include "XmlReplyCheck.h"

namespace
{
size_t DepthBelow(const TiXmlNode* node)
{
    size_t deepest = 0;
    for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling())
    {
        size_t d = DepthBelow(child) + (child->ToElement() ? 1 : 0);
        if (d > deepest)
            deepest = d;
    }
    return deepest;
}

void Check(const char* xml, TiXmlEncoding encoding)
{
    TiXmlDocument doc;
    doc.Parse(xml, nullptr, encoding);
    // The check counts the elements that hold others: an empty one may sit one level further.
    FUZZ_CHECK(DepthBelow(&doc) <= CXmlReplyCheck::kMaxDepth + 1);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CExactText reply(data, size);
    if (!CXmlReplyCheck::IsNestedWithin(reply.c_str()))
        return 0;
    Check(reply.c_str(), TIXML_ENCODING_LEGACY);
    if (CXmlReplyCheck::IsUtf8(reply.c_str()))
        Check(reply.c_str(), TIXML_ENCODING_UTF8);
    return 0;
}
