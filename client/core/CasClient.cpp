#include "CasClient.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "Netvane.h"

namespace {

const size_t CAS_COOKIE_SIZE = 1024;
const size_t CAS_TEXT_SIZE = 1000;

char* CopyToHeap(const char* value)
{
    size_t n = std::strlen(value);
    char* p = static_cast<char*>(std::malloc(n + 1));
    if (p)
        std::memcpy(p, value, n + 1);
    return p;
}

void FreeOut(char** p)
{
    std::free(*p);
    *p = nullptr;
}

bool IsEmptyReply(const char* reply) { return !reply || !*reply; }

} // namespace

int ExtractCasField(const char* text, const char* marker, char stop, char* field)
{
    field[0] = '\0';
    if (!text || !marker)
        return 0;
    const char* start = std::strstr(text, marker);
    if (!start)
        return 0;
    start += std::strlen(marker);
    // A value that never ends is no value: the rest of the reply would be taken for it.
    const char* end = std::strchr(start, stop);
    if (!end)
        return 0;
    size_t n = (size_t)(end - start);
    if (n >= CAS_FIELD_SIZE)
        return -1;
    std::memcpy(field, start, n);
    field[n] = '\0';
    return 1;
}

bool FormatBounded(char* buffer, size_t size, const char* format, ...)
{
    if (!buffer || size == 0)
        return false;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, size, format, args);
    va_end(args);
    if (n < 0 || (size_t)n >= size) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

int CAS_login(const char* loginUrl, const char* user, const char* password, char** sessionId, char** tgt)
{
    char lt[CAS_FIELD_SIZE] = {};
    char execution[CAS_FIELD_SIZE] = {};
    char jsession[CAS_FIELD_SIZE] = {};
    char castgc[CAS_FIELD_SIZE] = {};
    char msgClass[CAS_FIELD_SIZE] = {};
    char cookie[CAS_COOKIE_SIZE] = {};

    if (!sessionId || !tgt)
        return -1;
    if (!loginUrl || !user || !password)
        return -1;

    CNetvane net;
    char* reply = nullptr;
    net.DoGet(loginUrl, &reply, nullptr, true, false);
    if (IsEmptyReply(reply)) {
        if (reply)
            net.ReleaseResponse(&reply);
        return -2;
    }

    // A form without lt or execution is still posted, with those fields empty.
    ExtractCasField(reply, "name=\"lt\" value=\"", '"', lt);
    ExtractCasField(reply, "name=\"execution\" value=\"", '"', execution);
    int hasSession = ExtractCasField(reply, "JSESSIONID=", ';', jsession);
    net.ReleaseResponse(&reply);
    reply = nullptr;

    if (hasSession == 0) {
        *sessionId = nullptr;
        return -2;
    }
    // An over-long session id counts as present, with an empty value.
    *sessionId = CopyToHeap(jsession);
    if (!*sessionId)
        return -2;

    net.AddParam("username", user);
    net.AddParam("password", password);
    net.AddParam("lt", lt);
    net.AddParam("execution", execution);
    net.AddParam("_eventId", "submit");
    net.AddParam("submit", "login");

    // Cannot fail: the marker and a field of at most 511 bytes fit the buffer.
    FormatBounded(cookie, sizeof(cookie), "JSESSIONID=%s", jsession);

    net.DoPost(loginUrl, &reply, cookie, true, true);
    if (IsEmptyReply(reply)) {
        if (reply)
            net.ReleaseResponse(&reply);
        FreeOut(sessionId);
        return -2;
    }

    if (ExtractCasField(reply, "CASTGC=", ';', castgc) == 0) {
        net.ReleaseResponse(&reply);
        FreeOut(sessionId);
        return -1;
    }

    size_t n = std::strlen(castgc);
    char* grown = static_cast<char*>(std::realloc(*tgt, n + 1));
    if (!grown) {
        net.ReleaseResponse(&reply);
        FreeOut(tgt);
        FreeOut(sessionId);
        return -2;
    }
    *tgt = grown;
    std::memcpy(*tgt, castgc, n + 1);

    ExtractCasField(reply, "div id=\"msg\" class=\"", '"', msgClass);
    net.ReleaseResponse(&reply);

    if (std::strcmp(msgClass, "success") == 0)
        return 1;
    FreeOut(sessionId);
    FreeOut(tgt);
    return -1;
}

int CAS_serviceValidate(const char* loginUrl, const char* service, char* sessionId, char* tgt)
{
    char cookie[CAS_TEXT_SIZE] = {};
    char url[CAS_TEXT_SIZE] = {};
    char base[CAS_TEXT_SIZE] = {};
    char ticket[CAS_FIELD_SIZE] = {};
    char user[CAS_FIELD_SIZE] = {};

    if (!loginUrl || !service || !sessionId || !tgt)
        return 0;
    // The validation address is the login address less its "/login".
    size_t loginLen = std::strlen(loginUrl);
    if (loginLen < 6 || loginLen - 6 >= sizeof(base))
        return 0;
    if (!FormatBounded(cookie, sizeof(cookie), "JSESSIONID=%s; CASTGC=%s", sessionId, tgt))
        return 0;
    if (!FormatBounded(url, sizeof(url), "%s?service=%s", loginUrl, service))
        return 0;

    CNetvane net;
    char* reply = nullptr;
    net.DoGet(url, &reply, cookie, true, false);
    if (!reply)
        return 0;
    // No ticket (or an over-long one): validate with an empty ticket all the same.
    ExtractCasField(reply, "ticket=", '\r', ticket);
    net.ReleaseResponse(&reply);
    reply = nullptr;

    std::memcpy(base, loginUrl, loginLen - 6);
    base[loginLen - 6] = '\0';
    if (!FormatBounded(url, sizeof(url), "%s/serviceValidate?service=%s&ticket=%s", base, service, ticket))
        return 0;

    net.DoGet(url, &reply, cookie, true, true);
    if (!reply)
        return 0;
    int found = ExtractCasField(reply, "<cas:user>", '<', user);
    net.ReleaseResponse(&reply);
    return (found == 1 && user[0] != '\0') ? 1 : 0;
}

bool LoadUserAuthority(const char* url, const char* userId, const char* authId, char** response)
{
    if (!response)
        return false;
    if (!url)
        return false;

    CNetvane net;
    net.AddParam("userId", userId ? userId : "");
    net.AddParam("authId", authId ? authId : "");
    char* reply = nullptr;
    net.DoPost(url, &reply, nullptr, false, false);
    if (!reply)
        return false;

    size_t n = std::strlen(reply);
    // realloc of a null pointer allocates: one call covers both cases.
    char* block = static_cast<char*>(std::realloc(*response, n + 1));
    if (!block) {
        net.ReleaseResponse(&reply);
        return false;
    }
    std::memcpy(block, reply, n + 1);
    *response = block;
    net.ReleaseResponse(&reply);
    return true;
}
