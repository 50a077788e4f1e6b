#include "CertStore.h"

#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertPtr = std::unique_ptr<X509, decltype(&X509_free)>;

bool Exists(const std::string& path)
{
    return access(path.c_str(), R_OK) == 0;
}

bool MakeDirs(const std::string& dir)
{
    std::string partial;
    for (size_t i = 0; i <= dir.size(); ++i)
    {
        if (i == dir.size() || dir[i] == '/')
        {
            if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
        if (i < dir.size())
            partial += dir[i];
    }
    return true;
}

bool AddExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext)
        return false;
    bool ok = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return ok;
}

CertPtr NewCert(EVP_PKEY* key, const char* commonName, long days)
{
    CertPtr cert(X509_new(), X509_free);
    X509_set_version(cert.get(), 2);
    unsigned char serial[16];
    RAND_bytes(serial, sizeof(serial));
    serial[0] &= 0x7f;
    BIGNUM* bn = BN_bin2bn(serial, sizeof(serial), nullptr);
    BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get()));
    BN_free(bn);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -24L * 3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), days * 24L * 3600);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Parvel devnet"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    return cert;
}

bool WriteKey(const std::string& path, EVP_PKEY* key)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
        return false;
    chmod(path.c_str(), 0600);
    bool ok = PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    return std::fclose(f) == 0 && ok;
}

bool WriteCert(const std::string& path, X509* cert)
{
    FILE* f = std::fopen(path.c_str(), "w");
    if (!f)
        return false;
    bool ok = PEM_write_X509(f, cert) == 1;
    return std::fclose(f) == 0 && ok;
}

KeyPtr ReadKey(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return KeyPtr(nullptr, EVP_PKEY_free);
    EVP_PKEY* key = PEM_read_PrivateKey(f, nullptr, nullptr, nullptr);
    std::fclose(f);
    return KeyPtr(key, EVP_PKEY_free);
}

CertPtr ReadCert(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return CertPtr(nullptr, X509_free);
    X509* cert = PEM_read_X509(f, nullptr, nullptr, nullptr);
    std::fclose(f);
    return CertPtr(cert, X509_free);
}

// A folder first used by --local has a certificate without the default addresses: such a
// one is made anew (by the same CA) rather than refused by every client.
bool Covers(const std::string& path, const std::vector<std::string>& addresses)
{
    CertPtr cert = ReadCert(path);
    if (!cert)
        return false;
    for (const std::string& address : addresses)
    {
        if (X509_check_ip_asc(cert.get(), address.c_str(), 0) != 1)
            return false;
    }
    return X509_check_ip_asc(cert.get(), "127.0.0.1", 0) == 1;
}
}

CCertStore::CCertStore(const std::string& stateDir) : m_dir(stateDir)
{
    // Absolute, because the CA path is handed to other processes.
    if (!m_dir.empty() && m_dir[0] != '/')
    {
        char cwd[4096];
        if (getcwd(cwd, sizeof(cwd)))
            m_dir = std::string(cwd) + "/" + m_dir;
    }
}

bool CCertStore::Ensure(const std::vector<std::string>& addresses, std::string& error)
{
    if (!MakeDirs(m_dir))
    {
        error = "cannot create the state folder " + m_dir;
        return false;
    }
    std::string caKeyPath = m_dir + "/ca.key";
    if (!Exists(CaPath()) || !Exists(caKeyPath))
    {
        KeyPtr caKey(EVP_EC_gen("P-256"), EVP_PKEY_free);
        if (!caKey)
        {
            error = "cannot make the CA key";
            return false;
        }
        CertPtr ca = NewCert(caKey.get(), "Parvel devnet local CA", 3650);
        X509_set_issuer_name(ca.get(), X509_get_subject_name(ca.get()));
        bool ok = AddExtension(ca.get(), ca.get(), NID_basic_constraints, "critical,CA:TRUE")
                  && AddExtension(ca.get(), ca.get(), NID_key_usage, "critical,keyCertSign,cRLSign")
                  && AddExtension(ca.get(), ca.get(), NID_subject_key_identifier, "hash")
                  && X509_sign(ca.get(), caKey.get(), EVP_sha256()) > 0;
        if (!ok || !WriteKey(caKeyPath, caKey.get()) || !WriteCert(CaPath(), ca.get()))
        {
            error = "cannot write the CA";
            return false;
        }
        // A new CA makes every older server certificate worthless.
        unlink(CertPath().c_str());
    }
    if (Exists(CertPath()) && Exists(KeyPath()) && Covers(CertPath(), addresses))
        return true;

    KeyPtr caKey = ReadKey(caKeyPath);
    CertPtr ca = ReadCert(CaPath());
    KeyPtr key(EVP_EC_gen("P-256"), EVP_PKEY_free);
    if (!caKey || !ca || !key)
    {
        error = "cannot read the CA in " + m_dir;
        return false;
    }
    std::string san = "DNS:localhost,IP:127.0.0.1";
    for (const std::string& address : addresses)
    {
        if (address != "127.0.0.1")
            san += ",IP:" + address;
    }
    CertPtr cert = NewCert(key.get(), "devnet", 825);
    X509_set_issuer_name(cert.get(), X509_get_subject_name(ca.get()));
    bool ok = AddExtension(cert.get(), ca.get(), NID_basic_constraints, "critical,CA:FALSE")
              && AddExtension(cert.get(), ca.get(), NID_key_usage, "critical,digitalSignature,keyEncipherment")
              && AddExtension(cert.get(), ca.get(), NID_ext_key_usage, "serverAuth")
              && AddExtension(cert.get(), ca.get(), NID_subject_alt_name, san.c_str())
              && AddExtension(cert.get(), ca.get(), NID_authority_key_identifier, "keyid:always")
              && X509_sign(cert.get(), caKey.get(), EVP_sha256()) > 0;
    if (!ok || !WriteKey(KeyPath(), key.get()) || !WriteCert(CertPath(), cert.get()))
    {
        error = "cannot write the server certificate";
        return false;
    }
    return true;
}
