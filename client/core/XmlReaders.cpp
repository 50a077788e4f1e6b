#include "XmlReaders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tinyxml.h>
#include "XmlReplyCheck.h"

namespace {

// Parses in TinyXML's legacy mode, so GBK bytes pass through unchanged.
bool ParseLegacy(TiXmlDocument& doc, const char* xml)
{
    if (!xml || !CXmlReplyCheck::IsNestedWithin(xml))
        return false;
    doc.Parse(xml, nullptr, TIXML_ENCODING_LEGACY);
    return !doc.Error();
}

const char* ChildText(const TiXmlElement* parent, const char* name, bool& present)
{
    const TiXmlElement* child = parent->FirstChildElement(name);
    present = child != nullptr;
    if (!child)
        return nullptr;
    return child->GetText();
}

// A decimal number, or false for text that holds none.
bool ParseDecimal(const char* text, int& value)
{
    if (!text)
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (end == text || errno == ERANGE || v < INT_MIN || v > INT_MAX)
        return false;
    value = (int)v;
    return true;
}

} // namespace

void ParseTransUrlList(const char* xml, std::vector<std::string>& list, int& count)
{
    TiXmlDocument doc;
    if (!ParseLegacy(doc, xml))
        return;
    const TiXmlElement* root = doc.FirstChildElement("transurllist");
    if (!root)
        return;
    const TiXmlElement* first = root->FirstChildElement("url");
    if (!first)
        return;

    int n = 0;
    for (const TiXmlElement* url = first; url; url = url->NextSiblingElement("url"), ++n) {
        // An entry's index is its position in the document, whatever its "index" child says.
        bool present = false;
        const char* path = ChildText(url, "path", present);
        list.push_back(path ? path : "");
    }
    count = n;
}

bool ParseMessageList(const char* xml, CNewsItem& item)
{
    TiXmlDocument doc;
    if (!ParseLegacy(doc, xml))
        return false;
    const TiXmlElement* response = doc.FirstChildElement("response");
    if (!response)
        return false;
    const TiXmlElement* datas = response->FirstChildElement("datas");
    if (!datas)
        return false;
    const TiXmlElement* data = datas->FirstChildElement("data");
    if (!data)
        return false;

    bool present = false;
    const char* text = ChildText(data, "type", present);
    // A type without a number keeps the record's type.
    ParseDecimal(text, item.type);

    // A text element that is there, even empty, replaces the record's value.
    static const struct {
        const char* name;
        void (CNewsItem::*set)(std::string);
    } texts[] = {
        {"title", &CNewsItem::SetTitle},     {"class", &CNewsItem::SetClass},
        {"time", &CNewsItem::SetOccurTime},  {"content", &CNewsItem::SetContent},
        {"reader", &CNewsItem::SetRemindType},
    };
    for (const auto& t : texts) {
        text = ChildText(data, t.name, present);
        if (present)
            (item.*t.set)(text ? text : "");
    }
    text = ChildText(data, "url", present);
    if (text && *text)
        item.SetUrl(text);
    return true;
}
