#include "TlsCheck.h"

#include <arpa/inet.h>
#include <gnutls/gnutls.h>
#include <gnutls/x509.h>

namespace vesk::store::detail {
namespace {

class TrustList {
public:
    TrustList() { gnutls_x509_trust_list_init(&m_list, 0); }
    ~TrustList() { gnutls_x509_trust_list_deinit(m_list, 1); }
    TrustList(const TrustList&) = delete;
    TrustList& operator=(const TrustList&) = delete;
    gnutls_x509_trust_list_t get() const { return m_list; }

private:
    gnutls_x509_trust_list_t m_list = nullptr;
};

class Chain {
public:
    ~Chain() {
        for (gnutls_x509_crt_t c : m_certs) gnutls_x509_crt_deinit(c);
    }
    bool add(const std::string& der) {
        gnutls_x509_crt_t crt = nullptr;
        if (gnutls_x509_crt_init(&crt) < 0) return false;
        gnutls_datum_t data{reinterpret_cast<unsigned char*>(const_cast<char*>(der.data())),
                            static_cast<unsigned>(der.size())};
        if (gnutls_x509_crt_import(crt, &data, GNUTLS_X509_FMT_DER) < 0) {
            gnutls_x509_crt_deinit(crt);
            return false;
        }
        m_certs.push_back(crt);
        return true;
    }
    std::vector<gnutls_x509_crt_t>& certs() { return m_certs; }

private:
    std::vector<gnutls_x509_crt_t> m_certs;
};

bool namesHost(gnutls_x509_crt_t crt, const std::string& host) {
    unsigned char ip[16];
    if (::inet_pton(AF_INET, host.c_str(), ip) == 1) return gnutls_x509_crt_check_ip(crt, ip, 4, 0) != 0;
    if (::inet_pton(AF_INET6, host.c_str(), ip) == 1) return gnutls_x509_crt_check_ip(crt, ip, 16, 0) != 0;
    return gnutls_x509_crt_check_hostname(crt, host.c_str()) != 0;
}

}  // namespace

std::string checkServerCertificate(const std::vector<std::string>& derChain, const std::string& host,
                                   const std::string& caFile) {
    if (derChain.empty()) return "the server presented no certificate";
    TrustList trust;
    if (gnutls_x509_trust_list_add_system_trust(trust.get(), 0, 0) < 0 && caFile.empty())
        return "no trusted certificate authorities on this system";
    if (!caFile.empty() &&
        gnutls_x509_trust_list_add_trust_file(trust.get(), caFile.c_str(), nullptr, GNUTLS_X509_FMT_PEM, 0, 0) <= 0)
        return "the certificate file " + caFile + " holds no certificate that can be read";
    Chain chain;
    for (const std::string& der : derChain) {
        if (!chain.add(der)) return "the server's certificate cannot be read";
    }
    unsigned status = 0;
    int rc = gnutls_x509_trust_list_verify_crt(trust.get(), chain.certs().data(),
                                               static_cast<unsigned>(chain.certs().size()), 0, &status, nullptr);
    if (rc < 0) return std::string("the certificate cannot be checked: ") + gnutls_strerror(rc);
    if (status != 0) {
        gnutls_datum_t text{};
        std::string why = "the certificate is not trusted";
        if (gnutls_certificate_verification_status_print(status, GNUTLS_CRT_X509, &text, 0) == 0) {
            why += std::string(": ") + reinterpret_cast<const char*>(text.data);
            gnutls_free(text.data);
        }
        return why;
    }
    if (!namesHost(chain.certs().front(), host)) return "the certificate is not made out to " + host;
    return {};
}

}  // namespace vesk::store::detail
