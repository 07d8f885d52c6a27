// The table that maps a source code (0, a CURLcode or one of the library's own negative codes)
// to the public result code and its text, and the choice of the text language.
#pragma once

#include <windows.h>

#include <map>

namespace SMTPClientNS {

struct ResultEntry {
    int code;             // public result code
    const WCHAR* message; // static text, never null; empty for success
};

// Source code -> entry.
typedef std::map<int, ResultEntry> ResultTable;

// Language index of the process table's texts (see FailureTexts); 0, English, at start. Read
// once when the process table is built, after LARKMAIL_LANGUAGE has been applied to it.
extern int MessageLanguage;

// The 25 entries with the texts of the given language index (outside 0-10: English).
ResultTable BuildResultTable(int language);

// The language index a LARKMAIL_LANGUAGE value asks for: an index "0" to "10" or a language
// tag (en, ja, da, nl, fr, de, it, no or nb, es, sv, zh; any letter case). A null value keeps
// current; any other value gives English.
int ChooseMessageLanguage(const char* value, int current);

// The entry for source in table; the entry of source 100 (public code -1, the general error)
// when source is not in it.
const ResultEntry& FindResult(const ResultTable& table, int source);

// Lookups on the process table, built on first use (thread-safe) and kept until process exit.
int LookupResultCode(int source);
const WCHAR* LookupResultMessage(int source);

} // namespace SMTPClientNS
