// CNetvane on libcurl: one object per request, fields sent as given, replies handed out as
// malloc'ed NUL-terminated texts that the object keeps until they are released.
#include "Netvane.h"

#include "NetvaneSettings.h"

#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
// Below this rate for the stall time a download is given up (a dead line, not a slow one).
const long kDownloadLowSpeedBytes = 64;
const long kMaxRedirects = 5;

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t AppendToString(char* data, size_t size, size_t count, void* target)
{
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

// Loopback never goes through a proxy the environment may name.
std::string NoProxyList()
{
    std::string list;
    const char* env = std::getenv("no_proxy");
    if (!env)
        env = std::getenv("NO_PROXY");
    if (env && *env)
    {
        list = env;
        list += ",";
    }
    list += "localhost,127.0.0.0/8,::1";
    return list;
}

// No request line can carry a blank or a control byte, so those alone become %XX; everything
// else, the callers' own %XX escapes and bytes above 0x7F included, goes out as given.
std::string EscapeUnsendable(const std::string& url)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : url)
    {
        if (c <= 0x20 || c == 0x7F)
        {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        else
            out += static_cast<char>(c);
    }
    return out;
}

void ApplyCommonOptions(CURL* curl, const CNetvaneSettings& settings, const std::string& noProxy)
{
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, settings.m_connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, noProxy.c_str());
    // A proxy's own CONNECT answer is no header line of the server's.
    curl_easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Netvane/1.0");
    // Addresses come from servers and pages too: nothing but the web, also after a redirect.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    if (!settings.m_caFile.empty())
    {
        // The extra CA comes on top of the system store, not instead of it.
        curl_easy_setopt(curl, CURLOPT_CAINFO, settings.m_caFile.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, "/etc/ssl/certs");
    }
}
}

struct CNetvane::Impl
{
    std::vector<std::pair<std::string, std::string>> m_params;
    std::vector<char*> m_replies;          // handed out, not yet released
    std::atomic<bool> m_abandon{false};    // set by CloseFile, taken by the download it stops
    std::mutex m_downloadLock;             // guards m_bDownloading and the setting of m_abandon
    bool m_bDownloading = false;           // a download of this object runs

    // The fields joined in call order; they are consumed by the request that sends them.
    std::string TakeFields()
    {
        std::string joined;
        for (const auto& field : m_params)
        {
            if (!joined.empty())
                joined += '&';
            joined += field.first;
            joined += '=';
            joined += field.second;
        }
        m_params.clear();
        return joined;
    }

    unsigned int Request(bool post, const char* url, char** reply, const char* cookie, bool withHeaders);
    bool Download(const char* url, const char* localPath, void* callback, void* context);
};

unsigned int CNetvane::Impl::Request(bool post, const char* url, char** reply, const char* cookie,
                                     bool withHeaders)
{
    std::string fields = TakeFields();
    if (reply)
        *reply = nullptr;
    if (!url || !*url || !reply)
        return 0;

    std::string target = url;
    if (!post && !fields.empty())
    {
        size_t question = target.find('?');
        if (question == std::string::npos)
            target += '?';
        else if (target.back() != '?' && target.back() != '&')
            target += '&';
        target += fields;
    }
    target = EscapeUnsendable(target);

    GlobalInit();
    CURL* curl = curl_easy_init();
    if (!curl)
        return 0;
    CNetvaneSettings settings = CNetvaneSettings::FromEnvironment();
    std::string noProxy = NoProxyList();
    ApplyCommonOptions(curl, settings, noProxy);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, settings.m_timeoutMs);
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());

    // The caller reading header lines wants this server's own answer, a redirect included.
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, withHeaders ? 0L : 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);

    struct curl_slist* headers = nullptr;
    if (post)
    {
        // No "100 Continue" interim answer may end up among the header lines.
        headers = curl_slist_append(headers, "Expect:");
        headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(fields.size()));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, fields.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    }
    if (cookie && *cookie)
        curl_easy_setopt(curl, CURLOPT_COOKIE, cookie);

    std::string head;
    std::string body;
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendToString);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    if (withHeaders)
    {
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, AppendToString);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &head);
    }

    CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);

    if (rc != CURLE_OK || status <= 0)
        return 0;
    // An error page is no reply for a caller that reads the body alone; one that reads the
    // header lines judges the status itself.
    if (!withHeaders && status >= 400)
        return 0;

    std::string text = withHeaders ? head + body : body;
    char* block = static_cast<char*>(std::malloc(text.size() + 1));
    if (!block)
        return 0;
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    m_replies.push_back(block);
    *reply = block;
    return static_cast<unsigned int>(status);
}

namespace
{
struct DownloadState
{
    FILE* file = nullptr;
    CURL* curl = nullptr;
    NETVANE_PROGRESS progress = nullptr;
    void* context = nullptr;
    std::atomic<bool>* abandon = nullptr;
    double done = 0.0;
    double lastTotal = -1.0;
    double lastDone = -1.0;
    bool writeFailed = false;
};

double KnownTotal(CURL* curl)
{
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK || length < 0)
        return 0.0;
    return static_cast<double>(length);
}

void Report(DownloadState& state, double total, double done)
{
    if (!state.progress || (total == state.lastTotal && done == state.lastDone))
        return;
    state.lastTotal = total;
    state.lastDone = done;
    state.progress(state.context, total, done);
}

size_t WriteToFile(char* data, size_t size, size_t count, void* target)
{
    DownloadState& state = *static_cast<DownloadState*>(target);
    size_t bytes = size * count;
    if (state.abandon->load())
        return 0;
    if (std::fwrite(data, 1, bytes, state.file) != bytes)
    {
        state.writeFailed = true;
        return 0;
    }
    state.done += static_cast<double>(bytes);
    Report(state, KnownTotal(state.curl), state.done);
    return bytes;
}

// Lets an abandoned download stop even while no data arrives.
int CheckAbandon(void* target, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<DownloadState*>(target)->abandon->load() ? 1 : 0;
}
}

bool CNetvane::Impl::Download(const char* url, const char* localPath, void* callback, void* context)
{
    m_params.clear();
    if (!url || !*url || !localPath || !*localPath)
        return false;

    // Written beside the target and renamed only when complete: no partial file ever stands
    // at the local path.
    // A CloseFile from before this download was meant for another one.
    {
        std::lock_guard<std::mutex> guard(m_downloadLock);
        m_bDownloading = true;
        m_abandon.store(false);
    }
    struct DownloadEnd
    {
        Impl& impl;
        ~DownloadEnd()
        {
            std::lock_guard<std::mutex> guard(impl.m_downloadLock);
            impl.m_bDownloading = false;
            impl.m_abandon.store(false);
        }
    } end{*this};

    std::string temp = std::string(localPath) + ".part-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    FILE* file = fdopen(fd, "wb");
    if (!file)
    {
        close(fd);
        unlink(temp.c_str());
        return false;
    }

    GlobalInit();
    CURL* curl = curl_easy_init();
    if (!curl)
    {
        std::fclose(file);
        unlink(temp.c_str());
        return false;
    }
    CNetvaneSettings settings = CNetvaneSettings::FromEnvironment();
    std::string noProxy = NoProxyList();
    ApplyCommonOptions(curl, settings, noProxy);

    DownloadState state;
    state.file = file;
    state.curl = curl;
    state.progress = reinterpret_cast<NETVANE_PROGRESS>(callback);
    state.context = context;
    state.abandon = &m_abandon;

    std::string target = EscapeUnsendable(url);
    curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    // A large file on a slow line may take long; only a stalled one is cut off.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, kDownloadLowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, (settings.m_timeoutMs + 999) / 1000);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &state);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckAbandon);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &state);

    CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    double total = KnownTotal(curl);
    curl_easy_cleanup(curl);

    bool abandoned = m_abandon.load();
    bool complete = rc == CURLE_OK && !abandoned && !state.writeFailed;
    if (complete && (status < 200 || status >= 300))
        complete = false;
    if (complete && total > 0.0 && state.done != total)
        complete = false;
    if (std::fclose(file) != 0)
        complete = false;
    if (complete && std::rename(temp.c_str(), localPath) != 0)
        complete = false;
    if (!complete)
    {
        unlink(temp.c_str());
        return false;
    }
    // The last report always says the whole file is there.
    Report(state, state.done, state.done);
    return true;
}

CNetvane::CNetvane() : m_impl(new Impl)
{
}

CNetvane::~CNetvane()
{
    for (char* reply : m_impl->m_replies)
        std::free(reply);
    delete m_impl;
}

void CNetvane::AddParam(const char* name, const char* value)
{
    m_impl->m_params.emplace_back(name ? name : "", value ? value : "");
}

unsigned int CNetvane::DoGet(const char* url, char** reply, const char* cookie, bool withHeaders, bool)
{
    return m_impl->Request(false, url, reply, cookie, withHeaders);
}

unsigned int CNetvane::DoPost(const char* url, char** reply, const char* cookie, bool withHeaders, bool)
{
    return m_impl->Request(true, url, reply, cookie, withHeaders);
}

void CNetvane::ReleaseResponse(char** reply)
{
    if (!reply || !*reply)
        return;
    for (auto it = m_impl->m_replies.begin(); it != m_impl->m_replies.end(); ++it)
    {
        if (*it == *reply)
        {
            std::free(*it);
            m_impl->m_replies.erase(it);
            break;
        }
    }
    *reply = nullptr;
}

bool CNetvane::DownloadFile_Get(const char* url, const char* localPath, void* callback, void* context)
{
    return m_impl->Download(url, localPath, callback, context);
}

bool CNetvane::DownloadFile_GetEx(const char* url, const char* localPath, void* callback, void* context)
{
    return m_impl->Download(url, localPath, callback, context);
}

void CNetvane::CloseFile()
{
    // The running download stops, closes its file and removes it; nothing is left at the local
    // path. With no download running there is nothing to give up.
    std::lock_guard<std::mutex> guard(m_impl->m_downloadLock);
    if (m_impl->m_bDownloading)
        m_impl->m_abandon.store(true);
}
