// The send log's trace formatter: any protocol data in text and in hex mode. A record holds
// only printable ASCII and line ends, so nothing sent or received can forge a trace line.
#include "log/send_log.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace SMTPClientNS;
    for (const char mode : {char(1), char(0)}) {
        LineList messages, trace;
        ResetLog(messages, trace);
        DumpTraceData("C", data, size, mode);
        CollectLogRecords(messages, trace);
        for (const std::string& record : trace) {
            bool lineStart = true;
            for (const char c : record) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 0x80 || (byte < 0x20 && c != '\n'))
                    __builtin_trap();
                if (lineStart && c != 'C')
                    __builtin_trap(); // every line starts with its label
                lineStart = c == '\n';
            }
        }
    }
    return 0;
}
