/* What every benchmark message holds, shared by the plain C baseline and the library host. */
#ifndef LARKMAIL_BENCH_MESSAGE_H
#define LARKMAIL_BENCH_MESSAGE_H

#include <stdlib.h>
#include <string.h>

#define BENCH_SENDER "bench@example.org"
#define BENCH_RECIPIENT "rcpt@example.org"
#define BENCH_SUBJECT "Benchmark message"
/* The text body: lines of 76 characters and CR LF, about 2 KB. */
#define BENCH_BODY_LINES 26

/* A new NUL-terminated body (release with free). */
static inline char* BenchBody(void) {
    static const char line[] =
        "The quick brown fox jumps over the lazy dog, again and again and again. 0123\r\n";
    const size_t length = sizeof line - 1;
    char* body = (char*)malloc(BENCH_BODY_LINES * length + 1);
    if (!body)
        abort();
    for (int i = 0; i < BENCH_BODY_LINES; ++i)
        memcpy(body + (size_t)i * length, line, length);
    body[BENCH_BODY_LINES * length] = '\0';
    return body;
}

#endif
