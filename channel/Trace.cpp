#include "channel/Trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
std::atomic<DiagnosticSink> gSink{nullptr};
constexpr int kLineSize = 1024;
}  // namespace

void SetDiagnosticSink(DiagnosticSink sink) { gSink.store(sink); }

void Trace(const char* format, ...) {
    DiagnosticSink sink = gSink.load();
    if (sink == nullptr) return;
    char message[kLineSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    char line[kLineSize];
    // A line that does not fit is cut, as the message was.
    if (std::snprintf(line, sizeof line, "QVL: %s\r\n", message) < 0) return;
    sink(line);
}
