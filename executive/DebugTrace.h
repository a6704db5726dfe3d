// Diagnostic lines for the debugger output, with a recorder tests can install.
#pragma once
#include <string>

void DebugTrace(const std::wstring& line);

class IDebugTraceSink {
public:
    virtual ~IDebugTraceSink() = default;
    virtual void Line(const std::wstring& line) = 0;
};

// Copies every line to `sink` as well, for its lifetime (tests).
class ScopedDebugTraceSink {
public:
    explicit ScopedDebugTraceSink(IDebugTraceSink& sink);
    ~ScopedDebugTraceSink();
    ScopedDebugTraceSink(const ScopedDebugTraceSink&) = delete;
    ScopedDebugTraceSink& operator=(const ScopedDebugTraceSink&) = delete;

private:
    IDebugTraceSink* previous_;
};
