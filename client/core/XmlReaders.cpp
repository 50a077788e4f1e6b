#include "XmlReaders.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tinyxml.h>
#include "XmlReplyCheck.h"

namespace {

// Parses in TinyXML's legacy mode, so GBK bytes pass through unchanged. A malformed or cut
// text still parses up to its fault; false only for text too deep to parse at all.
bool ParseLegacy(TiXmlDocument& doc, const char* xml)
{
    if (!xml || !CXmlReplyCheck::IsNestedWithin(xml))
        return false;
    doc.Parse(xml, nullptr, TIXML_ENCODING_LEGACY);
    return true;
}

// Whether the parser read the element to its end. It keeps an element it stopped inside, with
// what it had read of it; an element is whole once something after it, in it or in one of its
// parents, was read, or when the whole text parsed.
bool IsWhole(const TiXmlDocument& doc, const TiXmlNode* node)
{
    if (!doc.Error())
        return true;
    for (; node && node != &doc; node = node->Parent())
        if (node->NextSibling())
            return true;
    return false;
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

    // Text that breaks off keeps the entries read whole before the fault.
    if (!IsWhole(doc, first))
        return;
    int n = 0;
    for (const TiXmlElement* url = first; url && IsWhole(doc, url); url = url->NextSiblingElement("url"), ++n) {
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
    // A message the text breaks off inside is not shown half.
    if (!data || !IsWhole(doc, data))
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
