#include "compose/header_block.h"

#include "platform/local_time.h"
#include "text/charset_converter.h"

#include <objbase.h>
#include <wincrypt.h>

#include <cstdio>
#include <ctime>
#include <iomanip>
#include <locale>
#include <memory>
#include <sstream>
#include <vector>

namespace SMTPClientNS {

namespace {

bool HasNonAscii(const WideString& text) {
    for (WCHAR unit : text)
        if (unit > 127)
            return true;
    return false;
}

std::string EncodedWord(const std::string& charset, const unsigned char* bytes, size_t count) {
    return "=?" + charset + "?b?" + EncodeBase64(bytes, count) + "?=";
}

// "name <address>", or the bare address without a display name.
int MailboxText(const std::string& charset, const WCHAR* address, const WCHAR* name,
                std::string& out) {
    std::string narrowAddress;
    WideToAnsi(address, narrowAddress);
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
int AddressLine(const char* label, const std::string& charset, int count,
                const WCHAR* (*entry)(IMimeMessage*, unsigned, AddressPart), IMimeMessage* message,
                std::string& block) {
    if (count <= 0)
        return 0;
    block += label;
    for (int i = 1; i <= count; ++i) {
        std::string mailbox;
        const int result = MailboxText(charset, entry(message, unsigned(i), ADDRESS_PART_ADDRESS),
                                       entry(message, unsigned(i), ADDRESS_PART_NAME), mailbox);
        if (result != 0)
            return result;
        block += mailbox;
        block += i != count ? ",\r\n " : "\r\n";
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
    std::string charset;
    WideToAnsi(message->GetCharset(), charset);

    const WCHAR* senderAddress = message->GetSender(ADDRESS_PART_ADDRESS);
    const WCHAR* senderName = message->GetSender(ADDRESS_PART_NAME);
    if (*senderAddress || *senderName) {
        std::string mailbox;
        const int result = MailboxText(charset, senderAddress, senderName, mailbox);
        if (result != 0)
            return result;
        block += "From: " + mailbox + "\r\n";
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
    block += "Subject: " + subject + "\r\n";
    block += FormatMessageId();
    return 0;
}

int EncodeDisplayName(const std::string& charset, const WCHAR* name, std::string& out) {
    const WideString text = name ? name : TEXT("");
    if (!HasNonAscii(text)) {
        WideToAnsi(text.c_str(), out);
        return 0;
    }
    char* bytes = nullptr;
    size_t length = 0;
    const int result =
        CCharsetConverter::Instance().ConvertFromWide(charset, text.c_str(), &bytes, &length);
    if (result != 0)
        return result;
    std::unique_ptr<char[]> owned(bytes);
    // The converted name ends at its first zero byte.
    const size_t used = std::string(bytes, length).find('\0');
    const size_t count = used == std::string::npos ? length : used;
    if (count == 0)
        return 0;
    out = EncodedWord(charset, reinterpret_cast<const unsigned char*>(bytes), count);
    return 0;
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
    if (!HasNonAscii(text)) {
        WideToAnsi(text.c_str(), out);
        return;
    }
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

    for (const WideString& chunk : chunks) {
        if (!HasNonAscii(chunk)) {
            std::string narrow;
            WideToAnsi(chunk.c_str(), narrow);
            out += narrow;
            continue;
        }
        char* bytes = nullptr;
        size_t length = 0;
        if (CCharsetConverter::Instance().ConvertFromWide(charset, chunk.c_str(), &bytes,
                                                          &length) != 0)
            return;
        std::unique_ptr<char[]> owned(bytes);
        out += EncodedWord(charset, reinterpret_cast<const unsigned char*>(bytes), length);
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
    CoInitialize(nullptr);
    const HRESULT made = CoCreateGuid(&guid);
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
