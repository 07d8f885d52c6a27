// The library's exception boundary. Every operation a host reaches through an operation table
// runs inside Guarded: whatever the C++ library throws below it (memory exhaustion, length
// errors) ends here as that operation's failure value, never in the host.
#pragma once

namespace SMTPClientNS {

template <typename Result, typename Operation>
Result Guarded(Result onFailure, Operation&& operation) noexcept {
    try {
        return operation();
    } catch (...) {
        return onFailure;
    }
}

// For operations that report nothing: a failure leaves what the standard containers left.
template <typename Operation> void Guarded(Operation&& operation) noexcept {
    try {
        operation();
    } catch (...) {
    }
}

} // namespace SMTPClientNS
