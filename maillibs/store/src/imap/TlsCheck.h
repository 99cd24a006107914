// Checking the certificate an IMAP server presented, after the TLS handshake and before
// anything secret is sent: the chain must lead to a trusted authority (the system's, plus
// those of an optional PEM file) and the first certificate must name the host we asked for.
#pragma once

#include <string>
#include <vector>

namespace vesk::store::detail {

/// Empty when the chain `derChain` (the server's certificate first, DER-encoded) is good for
/// `host`; else the reason in a few words ("the certificate is not trusted: ...").
std::string checkServerCertificate(const std::vector<std::string>& derChain, const std::string& host,
                                   const std::string& caFile);

}  // namespace vesk::store::detail
