// Sends the same small message N times to a local server, once through the library and once
// through libcurl's own API with the same MIME layout, and prints both times.
// Usage: larkmail-bench-sends PORT COUNT
#include "host_library.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace SMTPClientNS;

namespace {

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

int SendWithLibrary(const larkhost::LarkmailLibrary& library, int port, int count) {
    ISmtpClient* client = library.createSmtpClient();
    IMimeMessage* message = library.createMimeMessage();
    client->SetHost(u"127.0.0.1");
    client->SetPort(port);
    client->SetUseTls(false);
    message->SetSender(u"bench@example.org", u"Bench");
    message->AddRecipient(u"rcpt@example.org", u"R\u00e9cipient");
    message->SetSubject(u"Gr\u00fc\u00dfe from the benchmark");
    message->SetTextBody(u"A short plain body.\r\n");
    message->SetHtmlBody(u"<p>A short HTML body.</p>");
    client->SetMimeMessage(message);
    int failures = 0;
    for (int i = 0; i < count; ++i)
        failures += client->Send() != SMTP_SUCCESS;
    message->Release();
    client->Release();
    return failures;
}

int SendWithCurl(int port, int count) {
    const std::string url = "smtp://127.0.0.1:" + std::to_string(port);
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        CURL* curl = curl_easy_init();
        curl_slist* recipients = curl_slist_append(nullptr, "rcpt@example.org");
        curl_slist* headers =
            curl_slist_append(nullptr, "From: Bench <bench@example.org>\r\nTo: rcpt@example.org\r\n"
                                       "Subject: =?UTF-8?b?R3LDvMOfZSA=?=from the benchmark");
        curl_mime* root = curl_mime_init(curl);
        curl_mime* alternative = curl_mime_init(curl);
        curl_mimepart* html = curl_mime_addpart(alternative);
        curl_mime_data(html, "<p>A short HTML body.</p>", CURL_ZERO_TERMINATED);
        curl_mime_type(html, "text/html; charset=UTF-8");
        curl_mimepart* plain = curl_mime_addpart(alternative);
        curl_mime_data(plain, "A short plain body.\r\n", CURL_ZERO_TERMINATED);
        curl_mime_type(plain, "text/plain; charset=UTF-8");
        curl_mimepart* part = curl_mime_addpart(root);
        curl_mime_subparts(part, alternative);
        curl_mime_type(part, "multipart/alternative");
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_MAIL_FROM, "bench@example.org");
        curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_MIMEPOST, root);
        failures += curl_easy_perform(curl) != CURLE_OK;
        curl_mime_free(root);
        curl_slist_free_all(recipients);
        curl_slist_free_all(headers);
        curl_easy_cleanup(curl);
    }
    return failures;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT COUNT\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int count = std::atoi(argv[2]);
    larkhost::LarkmailLibrary library(larkhost::LibraryBesideProgram());
    if (!library.ok()) {
        std::fprintf(stderr, "%s\n", library.error().c_str());
        return 1;
    }
    // libcurl's informational lines go to standard error during a traced send.
    std::freopen("/dev/null", "w", stderr);
    auto start = std::chrono::steady_clock::now();
    const int libraryFailures = SendWithLibrary(library, port, count);
    const double librarySeconds = Seconds(std::chrono::steady_clock::now() - start);
    start = std::chrono::steady_clock::now();
    const int curlFailures = SendWithCurl(port, count);
    const double curlSeconds = Seconds(std::chrono::steady_clock::now() - start);
    std::printf("%d sends: library %.3f s, libcurl alone %.3f s, ratio %.2f (failures %d/%d)\n",
                count, librarySeconds, curlSeconds, librarySeconds / curlSeconds, libraryFailures,
                curlFailures);
    return libraryFailures + curlFailures == 0 ? 0 : 1;
}
