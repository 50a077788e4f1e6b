// Small text helpers of devnet's handlers.
#pragma once

#include <map>
#include <string>

namespace DevnetUtil
{
// "a=b; c=d" of a Cookie header, by name.
std::map<std::string, std::string> ParseCookies(const std::string& header);
std::string HtmlEscape(const std::string& text);
// Form encoding of a query value: unreserved bytes stay, the rest become %XX.
std::string UrlEncode(const std::string& text);
// Random letters and digits, for session ids and tickets.
std::string RandomToken(size_t length);
// The text from UTF-8 to GBK (the client's code page); unchanged when it cannot be converted.
std::string Utf8ToGbk(const std::string& text);
// The client's GBK text to UTF-8; unchanged when it cannot be converted.
std::string GbkToUtf8(const std::string& text);
// Standard Base64 of the 16-byte MD5 digest of the text.
std::string Md5Base64(const std::string& text);
std::string Md5HexUpper(const std::string& text);
std::string CurrentTime();   // "YYYY-MM-DD HH:MM:SS", local time
bool ReadFile(const std::string& path, std::string& content);
}
