#include "results/result_table.h"

#include "larkmail/larkmail.h"
#include "results/result_texts.h"

#include <curl/curl.h>

#include <cstdlib>
#include <cstring>

namespace SMTPClientNS {

int MessageLanguage = 0;

namespace {

const int kGeneralErrorSource = 100;

struct Mapping {
    int source;
    int code;
};

// In insertion order. Sources above 0 are CURLcode values; -2 and -3 are the library's own
// preparation failures; -19 to -22 are conversion failures and map to themselves, as does -23,
// a server without SMTPUTF8 for an international address. Three pairs read oddly by libcurl's
// names (FAILED_INIT, FTP_ACCEPT_FAILED, PEER_FAILED_VERIFICATION); hosts rely on them as they
// are.
const Mapping kMappings[] = {
    {CURLE_OK, SMTP_SUCCESS},
    {kGeneralErrorSource, SMTP_ERR_GENERAL},
    {CURLE_FAILED_INIT, SMTP_ERR_PROXY_CONNECT},
    {CURLE_PROXY, SMTP_ERR_PROXY_CONNECT}, // the SOCKS handshake failed
    {CURLE_COULDNT_RESOLVE_PROXY, SMTP_ERR_RESOLVE_PROXY},
    {CURLE_COULDNT_RESOLVE_HOST, SMTP_ERR_RESOLVE_HOST},
    {CURLE_COULDNT_CONNECT, SMTP_ERR_CONNECT},
    {CURLE_URL_MALFORMAT, SMTP_ERR_BAD_HOST},
    {CURLE_UNSUPPORTED_PROTOCOL, SMTP_ERR_UNSUPPORTED_PROTOCOL},
    {CURLE_SSL_CONNECT_ERROR, SMTP_ERR_SSL_CONNECT},
    {CURLE_PEER_FAILED_VERIFICATION, SMTP_ERR_CERT_REVOKED},
    {CURLE_FTP_ACCEPT_FAILED, SMTP_ERR_CERT_AUTH},
    {CURLE_OPERATION_TIMEDOUT, SMTP_ERR_TIMEOUT},
    {CURLE_LOGIN_DENIED, SMTP_ERR_LOGIN_DENIED},
    {CURLE_SEND_ERROR, SMTP_ERR_SEND},
    {CURLE_RECV_ERROR, SMTP_ERR_RECEIVE},
    {CURLE_AUTH_ERROR, SMTP_ERR_AUTH},
    {CURLE_READ_ERROR, SMTP_ERR_READ_FILE},
    {-2, SMTP_ERR_NO_SENDER},
    {-3, SMTP_ERR_NO_RECIPIENTS},
    {-19, SMTP_ERR_CONVERT_PARAM},
    {-20, SMTP_ERR_CONVERT_MEMORY},
    {-21, SMTP_ERR_CHARSET_UNSUPPORTED},
    {-22, SMTP_ERR_CONVERT_GENERAL},
    {-23, SMTP_ERR_SMTPUTF8_UNSUPPORTED},
};

// Tags accepted in LARKMAIL_LANGUAGE, by language index.
const struct {
    const char* tag;
    int language;
} kTags[] = {
    {"en", LANGUAGE_ENGLISH}, {"ja", LANGUAGE_JAPANESE},  {"da", LANGUAGE_DANISH},
    {"nl", LANGUAGE_DUTCH},   {"fr", LANGUAGE_FRENCH},    {"de", LANGUAGE_GERMAN},
    {"it", LANGUAGE_ITALIAN}, {"no", LANGUAGE_NORWEGIAN}, {"nb", LANGUAGE_NORWEGIAN},
    {"es", LANGUAGE_SPANISH}, {"sv", LANGUAGE_SWEDISH},   {"zh", LANGUAGE_CHINESE_SIMPLIFIED},
};

// ASCII comparison without regard to letter case.
bool SameTag(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const char x = (*a >= 'A' && *a <= 'Z') ? char(*a - 'A' + 'a') : *a;
        if (x != *b)
            return false;
        if (!x)
            return true;
    }
}

const ResultTable& ProcessTable() {
    static const ResultTable table = [] {
        MessageLanguage = ChooseMessageLanguage(std::getenv("LARKMAIL_LANGUAGE"), MessageLanguage);
        return BuildResultTable(MessageLanguage);
    }();
    return table;
}

} // namespace

ResultTable BuildResultTable(int language) {
    const WCHAR* const* texts = FailureTexts(language);
    ResultTable table;
    for (const Mapping& m : kMappings) {
        const WCHAR* message = m.code == SMTP_SUCCESS ? TEXT("") : texts[-m.code - 1];
        table.insert({m.source, ResultEntry{m.code, message}});
    }
    return table;
}

int ChooseMessageLanguage(const char* value, int current) {
    if (!value)
        return current;
    // An index: one or two decimal digits, 0 to 10.
    const size_t len = std::strlen(value);
    if (len >= 1 && len <= 2 && std::strspn(value, "0123456789") == len) {
        const int index = std::atoi(value);
        return index < kMessageLanguageCount ? index : LANGUAGE_ENGLISH;
    }
    for (const auto& t : kTags) {
        if (SameTag(value, t.tag))
            return t.language;
    }
    return LANGUAGE_ENGLISH;
}

const ResultEntry& FindResult(const ResultTable& table, int source) {
    auto it = table.lower_bound(source);
    if (it == table.end() || it->first != source)
        it = table.find(kGeneralErrorSource);
    return it->second;
}

int LookupResultCode(int source) {
    return FindResult(ProcessTable(), source).code;
}

const WCHAR* LookupResultMessage(int source) {
    return FindResult(ProcessTable(), source).message;
}

} // namespace SMTPClientNS
