// The update service's reply: <response><result/><code/><message/><version/><url/></response>.
#include "Mapform.h"

#include <cstring>
#include <string>
#include <tinyxml.h>
#include "XmlReplyCheck.h"

namespace {

// Text of a child element, or null when the element is missing.
const char* ChildText(const TiXmlElement* parent, const char* name, bool* present)
{
    const TiXmlElement* e = parent->FirstChildElement(name);
    *present = e != nullptr;
    if (!e) return "";
    const char* t = e->GetText();
    return t ? t : "";
}

// Copies at most size-1 bytes, never cutting a UTF-8 character in two; the rest is zero-filled.
void CopyTruncated(char* dst, size_t size, const char* src)
{
    size_t n = std::strlen(src);
    if (n >= size) {
        n = size - 1;
        while (n > 0 && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80) --n;
    }
    std::memset(dst, 0, size);
    std::memcpy(dst, src, n);
}

const TiXmlElement* ResponseRoot(TiXmlDocument& doc, const char* xml)
{
    // TinyXML's UTF-8 reader trusts every lead byte: a reply that is no UTF-8 is none of ours.
    if (!CXmlReplyCheck::IsUtf8(xml) || !CXmlReplyCheck::IsNestedWithin(xml)) return nullptr;
    doc.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
    if (doc.Error()) return nullptr;
    const TiXmlElement* root = doc.RootElement();
    if (!root || std::strcmp(root->Value(), "response") != 0) return nullptr;
    return root;
}

} // namespace

bool MF_ParseXml(const char* xml, XML_RESPONSE* out)
{
    if (!xml || !out) return false;
    TiXmlDocument doc;
    const TiXmlElement* root = ResponseRoot(doc, xml);
    if (!root) return false;

    bool present = false;
    const char* result = ChildText(root, "result", &present);
    out->success = (present && std::strcmp(result, "success") == 0) ? 1 : 0;
    // Code and message are informative only: a long one is cut, not refused.
    CopyTruncated(out->code, sizeof(out->code), ChildText(root, "code", &present));
    CopyTruncated(out->message, sizeof(out->message), ChildText(root, "message", &present));
    return true;
}

bool MF_ParseVersion(const char* xml, VERSION_INFO* out)
{
    if (!xml || !out) return false;
    TiXmlDocument doc;
    const TiXmlElement* root = ResponseRoot(doc, xml);
    if (!root) return false;

    bool present = false;
    const char* version = ChildText(root, "version", &present);
    if (!present || !*version) return false;
    const char* url = ChildText(root, "url", &present);
    // A cut version or address would be a wrong one: refuse what does not fit.
    if (std::strlen(version) >= sizeof(out->version) || std::strlen(url) >= sizeof(out->url)) return false;

    std::memset(out->version, 0, sizeof(out->version));
    std::memset(out->url, 0, sizeof(out->url));
    std::strcpy(out->version, version);
    std::strcpy(out->url, url);
    return true;
}
