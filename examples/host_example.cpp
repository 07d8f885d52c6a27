// A complete host program: loads the library by its SONAME, fills a message and a client
// through the two exports, sends synchronously and reports the result.
//
//   host_example HOST PORT FROM TO [USER PASSWORD]
//
// The connection is upgraded with STARTTLS (required). Exit status 0 when the mail was
// accepted, 1 when the send failed, 2 for usage errors or a library that cannot be loaded.
#include <larkmail/larkmail.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace SMTPClientNS;

namespace {

// UTF-8 command-line text as UTF-16, the library's only text type. Bytes that do not form
// UTF-8 become U+FFFD.
std::u16string Utf16(const std::string& text) {
    static const char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000}; // per sequence length
    std::u16string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = text[i];
        const size_t length = lead < 0x80    ? 1
                              : lead >= 0xF8 ? 0
                              : lead >= 0xF0 ? 4
                              : lead >= 0xE0 ? 3
                              : lead >= 0xC0 ? 2
                                             : 0;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool ok = length > 0 && i + length <= text.size();
        for (size_t k = 1; ok && k < length; ++k) {
            ok = (text[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (text[i + k] & 0x3F);
        }
        ok = ok && c >= kSmallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        i += ok ? length : 1;
        if (!ok)
            c = 0xFFFD;
        if (c >= 0x10000) {
            out += char16_t(0xD7C0 + (c >> 10));
            out += char16_t(0xDC00 | (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 7) {
        std::fprintf(stderr, "usage: host_example HOST PORT FROM TO [USER PASSWORD]\n");
        return 2;
    }

    // The SONAME, not the unversioned development link: a host built for this interface
    // keeps working when a later, incompatible library is installed beside it.
    void* library = dlopen("libLarkmail.so.1", RTLD_NOW | RTLD_NODELETE);
    if (!library) {
        std::fprintf(stderr, "host_example: %s\n", dlerror());
        return 2;
    }
    auto createClient = reinterpret_cast<CreateSmtpClientFn>(dlsym(library, "CreateSmtpClient"));
    auto createMessage = reinterpret_cast<CreateMimeMessageFn>(dlsym(library, "CreateMimeMessage"));
    if (!createClient || !createMessage) {
        std::fprintf(stderr, "host_example: the library lacks its exports\n");
        return 2;
    }

    IMimeMessage* message = createMessage();
    message->SetSender(Utf16(argv[3]).c_str(), u"Ann Doe");
    message->AddRecipient(Utf16(argv[4]).c_str(), u"Bob");
    message->SetSubject(u"Grüße");
    message->SetTextBody(u"Hello Bob");

    ISmtpClient* client = createClient();
    client->SetHost(Utf16(argv[1]).c_str());
    client->SetPort(std::atoi(argv[2])); // no default: the port must be set
    if (argc == 7) {
        client->SetUser(Utf16(argv[5]).c_str());
        client->SetPassword(Utf16(argv[6]).c_str()); // or SetBearerToken(...) for XOAUTH2
    }
    client->SetConnectTimeout(10);
    client->SetMimeMessage(message);
    const int result = client->Send(); // 1 (SMTP_SUCCESS) or a negative SMTP_ERR_... code

    std::printf("result: %d\n", result);

    // The host owns both objects; the client only borrowed the message.
    client->Release();
    message->Release();
    // The library stays loaded (RTLD_NODELETE): see docs/host-guide.md on unloading.
    dlclose(library);
    return result == SMTP_SUCCESS ? 0 : 1;
}
