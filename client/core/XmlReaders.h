// Readers of the trans-URL list reply and the message-list reply (ANSI text).
#pragma once

#include <string>
#include <vector>
#include "NewsItem.h"

// Appends the "path" of every "url" under "transurllist" to list, in document order, and sets
// count to the number of "url" elements. A "url" without "path" text gives an empty entry, so
// every index below count has one. Text that breaks off or turns malformed keeps the entries
// read whole before the fault; no whole "url" leaves both as they were.
void ParseTransUrlList(const char* xml, std::vector<std::string>& list, int& count);

// Fills item from the first "data" of "response"/"datas". False for null text, a missing
// element, or text that breaks off or turns malformed before that "data" ends; item is then
// unchanged. A fault after the whole first "data" does not lose it.
bool ParseMessageList(const char* xml, CNewsItem& item);
