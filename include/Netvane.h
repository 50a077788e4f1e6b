// Netvane: the outside HTTP library. One object per request, made and destroyed by the caller.
#pragma once

// Progress of a download: context, total size and size done, in bytes.
typedef int (*NETVANE_PROGRESS)(void* context, double total, double done);

// libNetvane.so is built with hidden visibility and shows this class only.
#define NETVANE_API __attribute__((visibility("default")))

class NETVANE_API CNetvane
{
public:
    CNetvane();
    ~CNetvane();
    CNetvane(const CNetvane&) = delete;
    CNetvane& operator=(const CNetvane&) = delete;

    // One more field for the next request, sent in call order (GET query or POST form body).
    void AddParam(const char* name, const char* value);

    // 0 is failure. *reply receives a NUL-terminated text (given back with ReleaseResponse),
    // or stays null. cookie is null or "name=value; name=value". withHeaders puts the response
    // header lines (each ended by CR LF) ahead of the body and follows no redirect;
    // the second flag is kept for the callers' sake.
    unsigned int DoGet(const char* url, char** reply, const char* cookie, bool withHeaders, bool second);
    unsigned int DoPost(const char* url, char** reply, const char* cookie, bool withHeaders, bool second);
    void ReleaseResponse(char** reply);

    // True when the whole file stands at localPath; no partial file is left on failure.
    // callback is a NETVANE_PROGRESS or null.
    bool DownloadFile_Get(const char* url, const char* localPath, void* callback, void* context);
    bool DownloadFile_GetEx(const char* url, const char* localPath, void* callback, void* context);
    // Gives up the download file of a download being abandoned.
    void CloseFile();

private:
    struct Impl;
    Impl* m_impl;
};
