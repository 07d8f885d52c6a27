// A host program for Larkmail.dll as a Windows application built with MSVC would drive it:
// loads the library with LoadLibraryW, finds the two exports and uses the objects only through
// the hand-declared tables of msvc_interfaces.h.
//
//   larkmail-wine-host.exe JOB_FILE
//
// The job file is UTF-8, one "key=value" per line (keys below). The host reports on standard
// output in UTF-8, one "key=value" per line, for the driver script to check.
#include "msvc_interfaces.h"
#include "utf_codec.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& text) {
    return utf::Utf8ToUtf16<wchar_t>(text);
}

std::string Utf8(const wchar_t* text) {
    return text ? utf::Utf16ToUtf8(text) : "<null>";
}

void Report(const std::string& key, const std::string& value) {
    std::printf("%s=%s\n", key.c_str(), value.c_str());
    std::fflush(stdout);
}

void Report(const std::string& key, long long value) {
    Report(key, std::to_string(value));
}

// The job: repeatable keys keep every value in order.
typedef std::multimap<std::string, std::string> Job;

std::string Value(const Job& job, const std::string& key, const std::string& fallback = "") {
    auto it = job.find(key);
    return it == job.end() ? fallback : it->second;
}

std::vector<std::string> Values(const Job& job, const std::string& key) {
    std::vector<std::string> values;
    for (auto [it, end] = job.equal_range(key); it != end; ++it)
        values.push_back(it->second);
    return values;
}

bool ReadJob(const wchar_t* path, Job& job) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        // "\n" in a value stands for a line break.
        std::string value = line.substr(equals + 1);
        for (size_t at; (at = value.find("\\n")) != std::string::npos;)
            value.replace(at, 2, "\r\n");
        job.emplace(line.substr(0, equals), value);
    }
    return true;
}

// Splits "a|b|c" into its parts.
std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, '|');)
        parts.push_back(part);
    return parts;
}

class Callback : public msvc::ISendCallback {
public:
    void* DeletingDestructor(unsigned int) override { return this; }
    void OnSendComplete(int taskId, int result, const wchar_t* message) override {
        Report("completion", std::to_string(taskId) + "|" + std::to_string(result) + "|" +
                                 Utf8(message) + "|" +
                                 (GetCurrentThreadId() == mainThread ? "main" : "other"));
        ++count;
    }
    DWORD mainThread = GetCurrentThreadId();
    int count = 0;
};

// Whether the calling thread is in the multithreaded apartment: a further CoInitializeEx
// then returns S_FALSE (and is undone at once); S_OK means COM was not initialised.
long MultithreadedCheck() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(result))
        CoUninitialize();
    return long(result);
}

// Dispatches window messages until `expected` completions arrived or the time is up.
void PumpUntil(Callback& callback, int expected, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (callback.count < expected && GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

void Configure(const Job& job, msvc::ISmtpClient* client, msvc::IMimeMessage* message) {
    client->SetHost(Wide(Value(job, "host", "127.0.0.1")).c_str());
    client->SetPort(std::atoi(Value(job, "port", "25").c_str()));
    client->SetConnectTimeout(std::atoi(Value(job, "connect_timeout", "10").c_str()));
    client->SetUseTls(Value(job, "tls") == "1");
    client->SetVerifyPeer(std::atoi(Value(job, "verify", "0").c_str()));
    if (job.count("user"))
        client->SetUser(Wide(Value(job, "user")).c_str());
    if (job.count("password"))
        client->SetPassword(Wide(Value(job, "password")).c_str());
    if (job.count("token"))
        client->SetBearerToken(Wide(Value(job, "token")).c_str());
    if (job.count("proxy")) {
        auto parts = Split(Value(job, "proxy")); // host|port|kind[|user|password]
        parts.resize(std::max<size_t>(parts.size(), 5));
        Report("set_proxy",
               client->SetProxy(Wide(parts.at(0)).c_str(), std::atoi(parts.at(1).c_str()),
                                std::atoi(parts.at(2).c_str()), Wide(parts[3]).c_str(),
                                Wide(parts[4]).c_str()));
    }
    if (job.count("log"))
        client->SetLogFile(Wide(Value(job, "log")).c_str(), false);

    if (job.count("charset"))
        message->SetCharset(Wide(Value(job, "charset")).c_str());
    const auto sender = Split(Value(job, "from", "sender@example.org"));
    message->SetSender(Wide(sender.at(0)).c_str(),
                       sender.size() > 1 ? Wide(sender[1]).c_str() : nullptr);
    for (const auto& to : Values(job, "to")) {
        const auto parts = Split(to);
        message->AddRecipient(Wide(parts.at(0)).c_str(),
                              parts.size() > 1 ? Wide(parts[1]).c_str() : nullptr);
    }
    for (const auto& cc : Values(job, "cc"))
        message->AddCc(Wide(cc).c_str(), nullptr);
    message->SetSubject(Wide(Value(job, "subject")).c_str());
    if (job.count("text"))
        message->SetTextBody(Wide(Value(job, "text")).c_str());
    if (job.count("html"))
        message->SetHtmlBody(Wide(Value(job, "html")).c_str());
    if (job.count("body_file")) {
        const auto parts = Split(Value(job, "body_file")); // path|kind
        message->LoadBodyFromFile(Wide(parts.at(0)).c_str(), std::atoi(parts.at(1).c_str()));
    }
    for (const auto& path : Values(job, "attach"))
        Report("attachments", message->AddAttachment(Wide(path).c_str()));
    for (const auto& image : Values(job, "inline")) {
        const auto parts = Split(image); // path|content id
        Report("inline_images",
               message->AddInlineImage(Wide(parts.at(0)).c_str(), Wide(parts.at(1)).c_str()));
    }
    client->SetMimeMessage(message);
}

// Reads values back through the tables: an operation in the wrong slot answers wrongly.
void CheckTable(msvc::ISmtpClient* client, msvc::IMimeMessage* message) {
    bool fine = client->GetMimeMessage() == message && client->GetPort() > 0 &&
                client->GetConnectTimeout() > 0 && client->GetLastResult() == 999 &&
                Utf8(client->GetSessionText()).empty() && Utf8(client->GetHost()) != "<null>";
    client->SetTlsVersion(3);
    fine = fine && client->GetTlsVersion() == 3;
    client->SetTlsVersion(0);
    fine = fine && message->GetRecipientCount() >= 1 && Utf8(message->GetCharset()) != "<null>";
    Report("table", fine ? "ok" : "wrong");
}

// mode=reload: loads the library, sends asynchronously and unloads it, four times. After each
// unload the old image's address range is reserved, so that the next load lies elsewhere.
int RunReloads(const Job& job) {
    Callback callback;
    for (int round = 1; round <= 4; ++round) {
        HMODULE library = LoadLibraryW(L"Larkmail.dll");
        if (!library) {
            Report("error", "LoadLibraryW failed: " + std::to_string(GetLastError()));
            return 3;
        }
        char base[32];
        std::snprintf(base, sizeof base, "%p", static_cast<void*>(library));
        Report("base", base);
        auto createClient = reinterpret_cast<msvc::CreateSmtpClientFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "CreateSmtpClient")));
        auto createMessage = reinterpret_cast<msvc::CreateMimeMessageFn>(
            reinterpret_cast<void*>(GetProcAddress(library, "CreateMimeMessage")));
        msvc::ISmtpClient* client = createClient();
        msvc::IMimeMessage* message = createMessage();
        client->SetCallback(&callback);
        Configure(job, client, message);
        Report("task", client->SendAsync());
        PumpUntil(callback, round, 15000);
        client->Release();
        message->Release();
        // The client's window goes with its last completion; let its messages pass.
        PumpUntil(callback, round + 1, 200);
        const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            reinterpret_cast<const char*>(library) +
            reinterpret_cast<const IMAGE_DOS_HEADER*>(library)->e_lfanew);
        const SIZE_T imageSize = headers->OptionalHeader.SizeOfImage;
        FreeLibrary(library);
        VirtualAlloc(library, imageSize, MEM_RESERVE, PAGE_NOACCESS);
    }
    Report("completions", callback.count);
    Report("table", "ok");
    Report("done", "1");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    Job job;
    if (argc < 2 || !ReadJob(argv[1], job)) {
        Report("error", "usage: larkmail-wine-host JOB_FILE");
        return 2;
    }
    if (Value(job, "mode") == "reload")
        return RunReloads(job);
    HMODULE library = LoadLibraryW(L"Larkmail.dll");
    if (!library) {
        Report("error", "LoadLibraryW failed: " + std::to_string(GetLastError()));
        return 3;
    }
    auto createClient = reinterpret_cast<msvc::CreateSmtpClientFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateSmtpClient")));
    auto createMessage = reinterpret_cast<msvc::CreateMimeMessageFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateMimeMessage")));
    if (!createClient || !createMessage) {
        Report("error", "exports missing");
        return 4;
    }

    // Slot 0 as MSVC's `delete` calls it: a client and a message made and freed at once.
    createClient()->DeletingDestructor(1);
    createMessage()->DeletingDestructor(1);

    Report("ansi_code_page", GetACP());
    msvc::ISmtpClient* client = createClient();
    msvc::IMimeMessage* message = createMessage();
    Callback callback;
    client->SetCallback(&callback);
    Configure(job, client, message);
    CheckTable(client, message);

    // com=mta: the host's thread is in the multithreaded apartment and must stay there.
    const bool multithreaded = Value(job, "com") == "mta";
    if (multithreaded) {
        Report("com_init", long(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        Report("com_before", MultithreadedCheck());
    }
    const std::string mode = Value(job, "mode", "sync");
    if (mode == "sync") {
        Report("result", client->Send());
        Report("last_result", client->GetLastResult());
    } else if (mode == "async") {
        // All tasks are queued before the host pumps.
        const int tasks = std::atoi(Value(job, "tasks", "1").c_str());
        for (int i = 0; i < tasks; ++i)
            Report("task", client->SendAsync());
        PumpUntil(callback, tasks, 60000);
    } else if (mode == "cancel") {
        // Task 1 occupies the worker (the server never greets); 2 and 3 wait and are removed.
        Report("task", client->SendAsync());
        Sleep(1000);
        Report("task", client->SendAsync());
        Report("task", client->SendAsync());
        Report("cancel_2", client->CancelAsync(2));
        Report("cancel_2_again", client->CancelAsync(2));
        Report("cancel_all", client->CancelAsync(0));
        PumpUntil(callback, 1, 60000);
        PumpUntil(callback, 2, 1000); // nothing else may arrive
    }
    Report("completions", callback.count);
    if (multithreaded) {
        Report("com_after", MultithreadedCheck());
        CoUninitialize();
    }

    client->Release();
    message->Release();
    FreeLibrary(library);
    Report("done", "1");
    return 0;
}
