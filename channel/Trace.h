#pragma once
// The channel's diagnostic lines: formatted as "QVL: <line>\r\n" and handed to one process-wide
// sink. No sink is installed by default, and then nothing is even formatted.

using DiagnosticSink = void (*)(const char* line);

void SetDiagnosticSink(DiagnosticSink sink);
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
