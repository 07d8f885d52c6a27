// Text composed into a fixed buffer. Anything that does not fit marks the whole text as
// refused instead of cutting it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace launcher {

class BoundedText {
public:
    BoundedText(WCHAR* buffer, size_t units) : buffer_(buffer), units_(units) { buffer_[0] = 0; }
    BoundedText& operator<<(LPCWSTR text) {
        for (; text && *text; ++text)
            *this << *text;
        return *this;
    }
    BoundedText& operator<<(WCHAR c) {
        if (length_ + 1 >= units_) {
            fits_ = false;
            return *this;
        }
        buffer_[length_++] = c;
        buffer_[length_] = 0;
        return *this;
    }
    bool fits() const { return fits_; }

private:
    WCHAR* buffer_;
    size_t units_;
    size_t length_ = 0;
    bool fits_ = true;
};

} // namespace launcher
