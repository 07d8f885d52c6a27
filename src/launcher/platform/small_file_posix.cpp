// Small files read through the Win32 file functions of the platform layer, which refuse a
// file that is not a regular one at once (a FIFO cannot block the read). No text mode here:
// the bytes arrive as they are stored.
#include "platform/small_file.h"

#include "files/file_probe.h"

namespace launcher {

bool ReadSmallFile(LPCWSTR path, long maxBytes, std::vector<char>& bytes) {
    bytes.clear();
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= maxBytes) {
        bytes.assign(static_cast<size_t>(size.QuadPart), 0);
        // Like fread, a read that fails part way keeps what arrived.
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(read);
    }
    CloseHandle(file);
    return !bytes.empty();
}

} // namespace launcher
