#include "transfer/send_options.h"

#include "compose/header_block.h"
#include "compose/mime_tree.h"
#include "text/mail_address.h"
#include "text/wide_text.h"
#include "transfer/ca_file.h"
#include "transfer/host_name.h"
#include "transfer/response_timeout.h"
#include "transfer/string_list.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace SMTPClientNS {

namespace {

std::string ProxyValue(ISmtpClient* client, int which) {
    WCHAR buffer[PROXY_VALUE_BUFFER_SIZE] = {};
    client->GetProxyValue(buffer, which);
    return Utf8Text(buffer);
}

// A server or proxy host as libcurl connects to it: an international name as its A-label form.
// Empty when it is no valid name; only a plain host passes, since libcurl would read anything
// else (a path, a user, a port, a scheme) as part of a URL.
std::string WireHost(const WCHAR* host) {
    std::string ascii;
    return ToWireDomain(host, ascii) && IsPlainHost(ascii) ? ascii : std::string();
}

long ProxyType(int kind) {
    switch (kind) {
    case PROXY_SOCKS4:
        return CURLPROXY_SOCKS4;
    case PROXY_SOCKS4A:
        return CURLPROXY_SOCKS4A;
    case PROXY_SOCKS5_HOSTNAME:
        return CURLPROXY_SOCKS5_HOSTNAME;
    default:
        return CURLPROXY_SOCKS5;
    }
}

// Sets the proxy options; CURLE_COULDNT_RESOLVE_PROXY for a host that is not a plain host,
// which libcurl would otherwise read as a URL with its own scheme, user or port.
CURLcode ApplyProxy(CURL* handle, ISmtpClient* client) {
    WCHAR hostBuffer[PROXY_VALUE_BUFFER_SIZE] = {};
    client->GetProxyValue(hostBuffer, PROXY_VALUE_HOST);
    const std::string host = WireHost(hostBuffer);
    if (host.empty())
        return CURLE_COULDNT_RESOLVE_PROXY;
    const long port = std::atol(ProxyValue(client, PROXY_VALUE_PORT).c_str());
    const int kind = std::atoi(ProxyValue(client, PROXY_VALUE_KIND).c_str());
    const std::string user = ProxyValue(client, PROXY_VALUE_USER);
    const std::string password = ProxyValue(client, PROXY_VALUE_PASSWORD);
    curl_easy_setopt(handle, CURLOPT_PROXY, host.c_str());
    curl_easy_setopt(handle, CURLOPT_PROXYPORT, port);
    curl_easy_setopt(handle, CURLOPT_PROXYTYPE, ProxyType(kind));
    if (!user.empty() && !password.empty()) {
        curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, user.c_str());
        curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, password.c_str());
    }
    return CURLE_OK;
}

// The proxy values that decide the connection, separated by NUL.
std::string ProxySettings(ISmtpClient* client) {
    std::string settings;
    for (int which : {PROXY_VALUE_HOST, PROXY_VALUE_PORT, PROXY_VALUE_KIND, PROXY_VALUE_USER,
                      PROXY_VALUE_PASSWORD}) {
        settings += ProxyValue(client, which);
        settings += '\0';
    }
    return settings;
}

// Every wait of the transfer is bounded: the connection set-up (connect, SOCKS handshake,
// greeting, STARTTLS, AUTH) by the client's connect time-out when it is above 0, else by the
// response time-out; each later answer by the response time-out; the upload of the message
// by the same time without progress.
void ApplyTimeouts(CURL* handle, ISmtpClient* client) {
    const long response = ResponseTimeoutSeconds();
    const long connect = client->GetConnectTimeout() > 0 ? client->GetConnectTimeout() : response;
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, connect);
    curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, response);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, response);
}

// An exact TLS version: the same version as minimum and maximum.
long ExactTlsVersion(int version) {
    switch (version) {
    case 1:
        return long(CURL_SSLVERSION_TLSv1_0) | long(CURL_SSLVERSION_MAX_TLSv1_0);
    case 2:
        return long(CURL_SSLVERSION_TLSv1_1) | long(CURL_SSLVERSION_MAX_TLSv1_1);
    case 3:
        return long(CURL_SSLVERSION_TLSv1_2) | long(CURL_SSLVERSION_MAX_TLSv1_2);
    default:
        return long(CURL_SSLVERSION_TLSv1_3) | long(CURL_SSLVERSION_MAX_TLSv1_3);
    }
}

// TLS for the whole session (the upgrade of the smtp connection), or none.
void ApplyTls(CURL* handle, ISmtpClient* client) {
    if (!client->GetUseTls()) {
        curl_easy_setopt(handle, CURLOPT_USE_SSL, long(CURLUSESSL_NONE));
        return;
    }
    curl_easy_setopt(handle, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    const int version = client->GetTlsVersion();
    if (version == 0)
        curl_easy_setopt(handle, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_DEFAULT));
    else if (version >= 1 && version <= 4)
        curl_easy_setopt(handle, CURLOPT_SSLVERSION, ExactTlsVersion(version));
    // Any other value requests no version.
}

// Envelope recipients: To, then Cc, then Bcc, each in index order, repeats kept. False when an
// address has a domain that is no valid name.
bool EnvelopeRecipients(IMimeMessage* message, std::vector<WireAddress>& recipients) {
    recipients.reserve(size_t(std::max(0, message->GetRecipientCount())) +
                       size_t(std::max(0, message->GetCcCount())) +
                       size_t(std::max(0, message->GetBccCount())));
    auto add = [&recipients](const WCHAR* address) {
        recipients.emplace_back();
        return ToWireAddress(address, recipients.back());
    };
    for (int i = 1, n = message->GetRecipientCount(); i <= n; ++i)
        if (!add(message->GetRecipient(unsigned(i), ADDRESS_PART_ADDRESS)))
            return false;
    for (int i = 1, n = message->GetCcCount(); i <= n; ++i)
        if (!add(message->GetCc(unsigned(i), ADDRESS_PART_ADDRESS)))
            return false;
    for (int i = 1, n = message->GetBccCount(); i <= n; ++i)
        if (!add(message->GetBcc(unsigned(i), ADDRESS_PART_ADDRESS)))
            return false;
    return true;
}

} // namespace

int ApplyConnectionOptions(CURL* handle, ISmtpClient* client) {
    if (!handle || !client)
        return 0;
    if (client->IsProxyEnabled()) {
        const CURLcode proxy = ApplyProxy(handle, client);
        if (proxy != CURLE_OK)
            return proxy;
    }

    // Only a plain host goes into the URL: "host/EHLO" or "user@host" would change the request.
    const std::string host = WireHost(client->GetHost());
    if (host.empty())
        return CURLE_URL_MALFORMAT;
    const std::string url = "smtp://" + host;
    CURLcode result = curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    if (result == CURLE_OK)
        result = curl_easy_setopt(handle, CURLOPT_PORT, long(client->GetPort()));
    if (result != CURLE_OK)
        return result;

    ApplyTimeouts(handle, client);

    // Credentials in UTF-8: the SASL mechanisms are defined on it and servers compare it.
    const std::string user = Utf8Text(client->GetUser());
    if (!user.empty() &&
        (result = curl_easy_setopt(handle, CURLOPT_USERNAME, user.c_str())) != CURLE_OK)
        return result;
    const std::string password = Utf8Text(client->GetPassword());
    if (!password.empty() &&
        (result = curl_easy_setopt(handle, CURLOPT_PASSWORD, password.c_str())) != CURLE_OK)
        return result;

    const std::string token = Utf8Text(client->GetBearerToken());
    if (!token.empty())
        curl_easy_setopt(handle, CURLOPT_XOAUTH2_BEARER, token.c_str());

    ApplyTls(handle, client);

    if (client->GetVerifyPeer() != 0) {
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_NATIVE_CA));
    } else {
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
    }
    // The certificates of a private CA file become the trusted ones (on Windows in addition to
    // the native store); verification stays as the client asks.
    const std::string caFile = CaFileFromEnvironment();
    if (!caFile.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, caFile.c_str());
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYSTATUS, client->GetVerifyStatus() ? 1L : 0L);
    return 0;
}

std::string ConnectionSettings(ISmtpClient* client) {
    if (!client)
        return std::string();
    // Values are separated by NUL, which none of them can contain.
    std::string settings;
    auto add = [&settings](const std::string& value) {
        settings += value;
        settings += '\0';
    };
    add(Utf8Text(client->GetHost()));
    add(std::to_string(client->GetPort()));
    add(Utf8Text(client->GetUser()));
    add(Utf8Text(client->GetPassword()));
    add(Utf8Text(client->GetBearerToken()));
    add(client->GetUseTls() ? "tls" : "plain");
    add(std::to_string(client->GetTlsVersion()));
    add(client->GetVerifyPeer() != 0 ? "verify" : "trust");
    add(client->GetVerifyStatus() ? "status" : "no-status");
    add(CaFileIdentity());
    add(client->IsProxyEnabled() ? ProxySettings(client) : "direct");
    return settings;
}

int ApplySendOptions(TransferSet& transfer, ISmtpClient* client) {
    if (!IsComplete(transfer) || !client)
        return -1;
    const int connection = ApplyConnectionOptions(transfer.handle, client);
    if (connection != 0)
        return connection;

    IMimeMessage* message = client->GetMimeMessage();
    if (!message)
        return -1;
    const WCHAR* senderAddress = message->GetSender(ADDRESS_PART_ADDRESS);
    if (!senderAddress || !*senderAddress)
        return -2;
    // An address is sent as the host wrote it or not at all: a domain that cannot be written in
    // ASCII fails the send.
    WireAddress sender;
    if (!ToWireAddress(senderAddress, sender))
        return SMTP_ERR_CONVERT_PARAM;
    curl_easy_setopt(transfer.handle, CURLOPT_MAIL_FROM, sender.text.c_str());

    std::vector<WireAddress> recipients;
    if (!EnvelopeRecipients(message, recipients))
        return SMTP_ERR_CONVERT_PARAM;
    if (recipients.empty())
        return -3;
    // A recipient that could not be added fails the send instead of being left out.
    StringListBuilder recipientList;
    transfer.international = sender.international;
    for (const WireAddress& recipient : recipients) {
        if (!recipientList.Append(recipient.text.c_str()))
            return -1;
        transfer.international = transfer.international || recipient.international;
    }
    transfer.recipients = recipientList.Release();
    curl_easy_setopt(transfer.handle, CURLOPT_MAIL_RCPT, transfer.recipients);

    // The whole block, several CR LF-terminated lines, is one entry of the header list.
    std::string block;
    const int composed = ComposeHeaderBlock(client, block);
    if (composed < 0)
        return composed;
    StringListBuilder headerList;
    if (!headerList.Append(block.c_str()))
        return -1;
    transfer.headers = headerList.Release();
    curl_easy_setopt(transfer.handle, CURLOPT_HTTPHEADER, transfer.headers);

    const int bodies = AttachBodies(transfer.root, transfer.alternative, client);
    if (bodies != 0)
        return bodies;
    // A file that cannot be sent fails the send here, before any connection.
    const int files = CheckFilesToSend(client);
    if (files != 0)
        return files;
    AttachInlineImages(transfer.root, transfer.alternative, transfer.related, client);
    AttachFiles(transfer.root, client);
    return curl_easy_setopt(transfer.handle, CURLOPT_MIMEPOST, transfer.root);
}

} // namespace SMTPClientNS
