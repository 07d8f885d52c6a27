// Keeps credentials out of the trace: the client's side of an SMTP authentication exchange is
// shown with its secrets replaced by "****", the command word and the mechanism kept
// ("AUTH PLAIN ****").
#pragma once

#include <cstddef>
#include <string>

namespace SMTPClientNS {

class CredentialMask {
public:
    // A block of client command lines (CR LF separated). When it carries credentials, masked
    // receives the block with each secret replaced and the result is true; otherwise masked is
    // left alone and the result is false. An AUTH command starts an exchange: its initial
    // response and every non-empty client line until the server's final reply are secrets.
    bool MaskClientLines(const char* data, size_t size, std::string& masked);

    // A block of server reply lines: a reply other than 334 (a challenge) ends the exchange.
    void NoteServerLines(const char* data, size_t size);

    void Reset() { inExchange_ = false; }

private:
    bool inExchange_ = false;
};

} // namespace SMTPClientNS
