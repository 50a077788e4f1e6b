// CAS single-sign-on client: sign-on, sign-on revalidation and the user's menu authority.
// The program exports these three by name, so other modules can call them too.
#pragma once

#include <cstddef>

#define PARVEL_EXPORT __attribute__((visibility("default")))

// 1 signed on; -1 rejected, no ticket-granting cookie, or bad arguments; -2 no usable reply or
// no session cookie. On 1, *sessionId and *tgt hold malloc'd strings the caller frees; a failing
// call frees every string it allocated and nulls its pointer. *tgt must be null or a malloc'd
// block on entry: it is realloc'd once the server has sent a ticket-granting cookie.
PARVEL_EXPORT int CAS_login(const char* loginUrl, const char* user, const char* password,
                            char** sessionId, char** tgt);

// 1 while the server still names a user for this sign-on, else 0.
PARVEL_EXPORT int CAS_serviceValidate(const char* loginUrl, const char* service, char* sessionId,
                                      char* tgt);

// Posts userId and authId to url and stores the reply body in *response (realloc'd when it was
// non-null, else malloc'd; the caller frees it). False, *response untouched, for a null
// response or no reply.
PARVEL_EXPORT bool LoadUserAuthority(const char* url, const char* userId, const char* authId,
                                     char** response);

// Every value taken from a reply fits a field of this size, terminator included.
const size_t CAS_FIELD_SIZE = 512;

// Copies the text between marker and the next stop character into field (CAS_FIELD_SIZE bytes,
// left empty unless 1 is returned). 1 found; 0 no marker, or no stop character after it;
// -1 a value of CAS_FIELD_SIZE bytes or more.
int ExtractCasField(const char* text, const char* marker, char stop, char* field);

// snprintf that never writes past size and fails (buffer emptied) when the text would not fit.
bool FormatBounded(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
