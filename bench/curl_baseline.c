/* The baseline of the benchmarks: plain C that drives libcurl directly, with a new easy handle
 * and a new curl_mime tree for every message, as a host without the library would.
 * Prints "seconds S failures F" for the timed sends.
 *
 * Usage: larkmail-bench-curl small URL COUNT
 *        larkmail-bench-curl tls URL COUNT USER PASSWORD
 *        larkmail-bench-curl attach URL FILE
 *        larkmail-bench-curl async URL CLIENTS COUNT
 */
#include "bench_message.h"

#include <curl/curl.h>

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

struct Options {
    const char* url;
    const char* user;
    const char* password;
    const char* file;
    int count;
};

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* One message: the same header lines, text body and attachment part as the library's. */
static int SendOne(const struct Options* options, const char* body) {
    CURL* curl = curl_easy_init();
    if (!curl)
        return 1;
    struct curl_slist* recipients = curl_slist_append(NULL, BENCH_RECIPIENT);
    struct curl_slist* headers = curl_slist_append(
        NULL, "From: Bench <" BENCH_SENDER ">\r\nTo: Recipient <" BENCH_RECIPIENT ">\r\n"
              "X-Priority: 3 (Normal)\r\nDate: Wed, 9 Dec 2026 06:00:00 +0000\r\n"
              "Subject: " BENCH_SUBJECT "\r\n"
              "Message-ID: <0123456789abcdef0123456789abcdef@bench.example.org>");
    curl_mime* root = curl_mime_init(curl);
    curl_mimepart* text = curl_mime_addpart(root);
    curl_mime_data(text, body, CURL_ZERO_TERMINATED);
    curl_mime_type(text, "text/plain; charset=UTF-8");
    if (options->file) {
        curl_mimepart* file = curl_mime_addpart(root);
        curl_mime_filedata(file, options->file);
        curl_mime_type(file, "application/octet-stream");
        curl_mime_headers(file,
                          curl_slist_append(NULL, "Content-Disposition: attachment; "
                                                  "filename=\"attachment.bin\""),
                          1);
        curl_mime_encoder(file, "base64");
    }
    curl_easy_setopt(curl, CURLOPT_URL, options->url);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, BENCH_SENDER);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_MIMEPOST, root);
    if (options->user) {
        curl_easy_setopt(curl, CURLOPT_USE_SSL, (long)CURLUSESSL_ALL);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
        curl_easy_setopt(curl, CURLOPT_USERNAME, options->user);
        curl_easy_setopt(curl, CURLOPT_PASSWORD, options->password);
    }
    const CURLcode result = curl_easy_perform(curl);
    curl_mime_free(root);
    curl_slist_free_all(recipients);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return result != CURLE_OK;
}

static int SendMany(const struct Options* options) {
    char* body = BenchBody();
    int failures = 0;
    for (int i = 0; i < options->count; ++i)
        failures += SendOne(options, body);
    free(body);
    return failures;
}

static void* SendManyOnThread(void* options) {
    return (void*)(long)SendMany((const struct Options*)options);
}

int main(int argc, char** argv) {
    struct Options options = {0};
    const char* mode = argc > 2 ? argv[1] : "";
    options.url = argc > 2 ? argv[2] : "";
    int clients = 1;
    if (strcmp(mode, "small") == 0 && argc == 4) {
        options.count = atoi(argv[3]);
    } else if (strcmp(mode, "tls") == 0 && argc == 6) {
        options.count = atoi(argv[3]);
        options.user = argv[4];
        options.password = argv[5];
    } else if (strcmp(mode, "attach") == 0 && argc == 4) {
        options.count = 1;
        options.file = argv[3];
    } else if (strcmp(mode, "async") == 0 && argc == 5) {
        clients = atoi(argv[3]);
        options.count = atoi(argv[4]);
    } else {
        fprintf(stderr, "usage: see the head of curl_baseline.c\n");
        return 2;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const double start = Now();
    long failures = 0;
    if (clients == 1) {
        failures = SendMany(&options);
    } else {
        pthread_t threads[64];
        if (clients > 64)
            clients = 64;
        for (int i = 0; i < clients; ++i)
            pthread_create(&threads[i], NULL, SendManyOnThread, &options);
        for (int i = 0; i < clients; ++i) {
            void* result = NULL;
            pthread_join(threads[i], &result);
            failures += (long)result;
        }
    }
    printf("seconds %.6f failures %ld\n", Now() - start, failures);
    curl_global_cleanup();
    return failures == 0 ? 0 : 1;
}
