// DebugTrace.
#include "executive/DebugTrace.h"

#include <windows.h>

namespace {
IDebugTraceSink* g_sink = nullptr;
}

void DebugTrace(const std::wstring& line) {
    ::OutputDebugStringW(line.c_str());
    if (g_sink) g_sink->Line(line);
}

ScopedDebugTraceSink::ScopedDebugTraceSink(IDebugTraceSink& sink) : previous_(g_sink) { g_sink = &sink; }

ScopedDebugTraceSink::~ScopedDebugTraceSink() { g_sink = previous_; }
