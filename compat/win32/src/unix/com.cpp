// COM initialisation count and random GUIDs.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <sys/random.h>

namespace {
// Number of unbalanced CoInitialize calls of this thread.
thread_local unsigned initCount = 0;

bool FillRandom(unsigned char* out, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = getrandom(out + done, size - done, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(got);
    }
    return true;
}
} // namespace

HRESULT WINAPI CoInitialize(LPVOID) {
    return initCount++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize(void) {
    if (initCount > 0)
        --initCount;
}

HRESULT WINAPI CoCreateGuid(GUID* guid) {
    if (!guid)
        return E_INVALIDARG;
    unsigned char bytes[16];
    if (!FillRandom(bytes, sizeof bytes))
        return E_FAIL;
    std::memcpy(&guid->Data1, bytes, 4);
    std::memcpy(&guid->Data2, bytes + 4, 2);
    std::memcpy(&guid->Data3, bytes + 6, 2);
    std::memcpy(guid->Data4, bytes + 8, 8);
    // Version 4 in the top nibble of Data3, variant 10 in the top bits of Data4[0].
    guid->Data3 = WORD((guid->Data3 & 0x0FFF) | 0x4000);
    guid->Data4[0] = BYTE((guid->Data4[0] & 0x3F) | 0x80);
    return S_OK;
}
