#include "compose/header_block.h"

#include "compose/encoded_words.h"
#include "compose/header_folding.h"
#include "platform/local_time.h"
#include "text/charset_converter.h"
#include "text/mail_address.h"

#include <objbase.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iomanip>
#include <locale>
#include <memory>
#include <sstream>
#include <vector>

namespace SMTPClientNS {

namespace {

// Sizes the header block is reserved with: the From, Date, Subject, Message-ID and priority
// lines, and one address line.
const size_t kFixedLinesRoom = 512;
const size_t kAddressLineRoom = 64;

// A word this long could not stay within a header line's 998 characters: it is encoded, so
// that it can be cut into several encoded-words.
const size_t kLongestPlainWord = 900;

// Text that cannot be written as it is: non-ASCII, or holding an overlong word.
bool NeedsEncoding(const WideString& text) {
    size_t word = 0;
    for (WCHAR unit : text) {
        if (unit > 127)
            return true;
        word = unit == TEXT(' ') ? 0 : word + 1;
        if (word > kLongestPlainWord)
            return true;
    }
    return false;
}

bool IsBlankChunk(const WideString& chunk) {
    return chunk.find_first_not_of(TEXT(" \t")) == WideString::npos;
}

// Blank chunks from index on that reach a chunk needing encoding, or, after encoded text, the
// end of the subject: white space there belongs inside the encoded text, or readers drop it.
bool BlanksBeforeEncoding(const std::vector<WideString>& chunks, size_t index, bool afterEncoded) {
    size_t next = index;
    while (next < chunks.size() && IsBlankChunk(chunks[next]))
        ++next;
    if (next == index)
        return false;
    return next == chunks.size() ? afterEncoded : NeedsEncoding(chunks[next]);
}

// "name <address>", or the bare address without a display name. The address is written as the
// envelope carries it: UTF-8 (RFC 6532) with the domain in ASCII.
int MailboxText(const std::string& charset, const WCHAR* address, const WCHAR* name,
                std::string& out) {
    WireAddress wire;
    if (!ToWireAddress(address, wire))
        return SMTP_ERR_CONVERT_PARAM;
    const std::string& narrowAddress = wire.text;
    const WideString displayName = SingleLine(name);
    if (displayName.empty()) {
        out = narrowAddress;
        return 0;
    }
    std::string encoded;
    const int result = EncodeDisplayName(charset, displayName.c_str(), encoded);
    if (result != 0)
        return result;
    if (QuoteDisplayName(encoded))
        encoded = "\"" + encoded + "\"";
    out = encoded + " <" + narrowAddress + ">";
    return 0;
}

// One address header over a list: entries separated by ",\r\n ".
int AddressLine(const std::string& label, const std::string& charset, int count,
                const WCHAR* (*entry)(IMimeMessage*, unsigned, AddressPart), IMimeMessage* message,
                std::string& block) {
    if (count <= 0)
        return 0;
    for (int i = 1; i <= count; ++i) {
        std::string mailbox;
        const int result = MailboxText(charset, entry(message, unsigned(i), ADDRESS_PART_ADDRESS),
                                       entry(message, unsigned(i), ADDRESS_PART_NAME), mailbox);
        if (result != 0)
            return result;
        // One entry per line; each line folded on its own.
        const std::string line = (i == 1 ? label : " ") + mailbox + (i != count ? "," : "");
        block += FoldHeaderLine(line) + "\r\n";
    }
    return 0;
}

const char* PriorityLine(int priority) {
    switch (priority) {
    case PRIORITY_NORMAL:
        return "X-Priority: 3 \r\n";
    case PRIORITY_LOW:
        return "X-Priority: 4 \r\n";
    case PRIORITY_HIGH:
        return "X-Priority: 2 \r\n";
    default:
        return "";
    }
}

} // namespace

WideString SingleLine(const WCHAR* text) {
    WideString line = text ? text : TEXT("");
    for (WCHAR& unit : line)
        if (unit == TEXT('\r') || unit == TEXT('\n'))
            unit = TEXT(' ');
    return line;
}

int ComposeHeaderBlock(ISmtpClient* client, std::string& block) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message)
        return 0;
    const std::string charset = Utf8Text(message->GetCharset());
    // Room for the fixed lines and a typical address line per recipient, so that the block
    // grows rarely however many recipients it lists.
    const size_t addressLines = size_t(std::max(0, message->GetRecipientCount())) +
                                size_t(std::max(0, message->GetCcCount()));
    block.reserve(block.size() + kFixedLinesRoom + kAddressLineRoom * addressLines);

    const WCHAR* senderAddress = message->GetSender(ADDRESS_PART_ADDRESS);
    const WCHAR* senderName = message->GetSender(ADDRESS_PART_NAME);
    if (*senderAddress || *senderName) {
        std::string mailbox;
        const int result = MailboxText(charset, senderAddress, senderName, mailbox);
        if (result != 0)
            return result;
        block += FoldHeaderLine("From: " + mailbox) + "\r\n";
    }

    int result = AddressLine(
        "To: ", charset, message->GetRecipientCount(),
        [](IMimeMessage* m, unsigned i, AddressPart p) { return m->GetRecipient(i, p); }, message,
        block);
    if (result != 0)
        return result;
    result = AddressLine(
        "Cc: ", charset, message->GetCcCount(),
        [](IMimeMessage* m, unsigned i, AddressPart p) { return m->GetCc(i, p); }, message, block);
    if (result != 0)
        return result;

    block += PriorityLine(message->GetPriority());
    block += FormatDateHeader();
    std::string subject;
    EncodeSubject(charset, SingleLine(message->GetSubject()).c_str(), subject);
    block += FoldHeaderLine("Subject: " + subject) + "\r\n";
    block += FormatMessageId();
    return 0;
}

int EncodeDisplayName(const std::string& charset, const WCHAR* name, std::string& out) {
    const WideString text = name ? name : TEXT("");
    if (!NeedsEncoding(text)) {
        out = Utf8Text(text.c_str());
        return 0;
    }
    out.clear();
    const int result = AppendEncodedWords(charset, text, out);
    if (result != 0 || out.find(' ') == std::string::npos)
        return result;
    // Several words anyway: the first one also fits on a line after "From: ". A name that
    // fits one word stays one, as some readers show a space between two words of a name.
    out.clear();
    return AppendEncodedWords(charset, text, out, kFoldedLineLength - (sizeof "From: " - 1));
}

bool QuoteDisplayName(std::string& text) {
    static const std::string specials = "\".,;:\\()<>[]@";
    if (text.find_first_of(specials) == std::string::npos)
        return false;
    std::string escaped;
    for (char c : text) {
        if (c == '"' || c == '\\')
            escaped += '\\';
        escaped += c;
    }
    text = escaped;
    return true;
}

void EncodeSubject(const std::string& charset, const WCHAR* subject, std::string& out) {
    const WideString text = subject ? subject : TEXT("");
    // Every space ends a chunk and belongs to it; the rest after the last space is the final
    // chunk.
    std::vector<WideString> chunks;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == TEXT(' ')) {
            chunks.push_back(text.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        chunks.push_back(text.substr(start));

    // The first word of the value shares its line with the field name.
    const size_t valueStart = out.size();
    const size_t firstWordLength = kFoldedLineLength - (sizeof "Subject: " - 1);
    for (size_t i = 0; i < chunks.size();) {
        if (!NeedsEncoding(chunks[i]) && !BlanksBeforeEncoding(chunks, i, false)) {
            out += Utf8Text(chunks[i].c_str());
            ++i;
            continue;
        }
        // Consecutive chunks that need encoding form one run of encoded-words (decoders drop
        // the white space between two words, so the chunks' spaces stay inside), together
        // with the blank chunks between them, before the first and after the last when the
        // subject ends there. When plain text follows, the space that ends the run goes
        // outside, between the last word and it.
        WideString run;
        for (; i < chunks.size() &&
               (NeedsEncoding(chunks[i]) || BlanksBeforeEncoding(chunks, i, true));
             ++i)
            run += chunks[i];
        const bool spaceAfter = i < chunks.size() && run.back() == TEXT(' ');
        if (spaceAfter)
            run.pop_back();
        const size_t wordLength = out.size() == valueStart ? firstWordLength : kLongestEncodedWord;
        if (AppendEncodedWords(charset, run, out, wordLength) != 0)
            return;
        if (spaceAfter)
            out += ' ';
    }
}

std::string FormatDateHeader() {
    std::tm local{};
    long offset = 0;
    LocalTimeNow(local, offset);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&local, "%a, %d %b %Y %H:%M:%S ");
    // The offset as "+hhmm" or "-hhmm"; written here because not every C library's "%z" does.
    const long distance = offset < 0 ? -offset : offset;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02d%02d", offset < 0 ? '-' : '+',
                  int(distance / 3600 % 100), int(distance / 60 % 60));
    return "Date: " + text.str() + zone + "\r\n";
}

std::string FormatMessageId() {
    GUID guid{};
    // The calling thread belongs to the host: only an initialisation made here is undone. On a
    // thread in another apartment CoInitialize fails, and an uninitialisation would then end
    // the host's own; the GUID needs no apartment either way.
    const HRESULT initialised = CoInitialize(nullptr);
    const HRESULT made = CoCreateGuid(&guid);
    if (SUCCEEDED(initialised))
        CoUninitialize();
    char guidText[40] = "";
    if (SUCCEEDED(made))
        std::snprintf(guidText, sizeof guidText, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                      unsigned(guid.Data1), unsigned(guid.Data2), unsigned(guid.Data3),
                      guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                      guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    char computer[256] = {};
    DWORD size = sizeof computer;
    if (!GetComputerNameExA(ComputerNameNetBIOS, computer, &size))
        computer[0] = '\0';
    return std::string("Message-ID: <") + guidText + "@" + computer + ">\r\n";
}

std::string EncodeBase64(const unsigned char* bytes, size_t count) {
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    DWORD size = 0;
    if (!bytes || count == 0 || count > 0xFFFFFFFFu ||
        !CryptBinaryToStringA(bytes, DWORD(count), flags, nullptr, &size) || size == 0)
        return std::string();
    std::vector<char> text(size);
    if (!CryptBinaryToStringA(bytes, DWORD(count), flags, text.data(), &size))
        return std::string();
    return std::string(text.data(), size);
}

} // namespace SMTPClientNS
