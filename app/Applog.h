// The process-wide diagnostic log: settings from "<program>.cfg", section
// "LogSetting"; lines go to a size-capped file, the debugger and a console.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"

class IApplog {
public:
    virtual HRESULT Open(HINSTANCE instance) = 0;
    virtual void Release() = 0;
    virtual void Write(unsigned level, const wchar_t* text) = 0;
    virtual HRESULT WriteHex(unsigned level, const BYTE* bytes, unsigned count) = 0;
    virtual HRESULT Reserved4(INT_PTR, INT_PTR) = 0;
    virtual HRESULT Reserved5(INT_PTR, INT_PTR) = 0;
    virtual HRESULT SetLevel(unsigned level) = 0;
    virtual HRESULT GetLevel(unsigned* level) = 0;
    virtual ~IApplog() = default;
    virtual bool GetDrWatsonLogPath(wchar_t* buffer, int capacity) = 0;
    virtual bool LoadSettings(const wchar_t* settingsPath) = 0;
    virtual void Reset() = 0;
};

class CLogBase {
public:
    virtual ~CLogBase() = default;
    virtual void Write(const wchar_t* text) = 0;
};

class CLogDebug : public CLogBase {
public:
    void Write(const wchar_t* text) override;
};

class CLogStdout : public CLogBase {
public:
    CLogStdout();
    ~CLogStdout() override;
    void Write(const wchar_t* text) override;

private:
    HANDLE output_ = INVALID_HANDLE_VALUE;  // the console's, not ours to close
};

class CLogFile : public CLogBase {
public:
    explicit CLogFile(const std::wstring& path);
    void Write(const wchar_t* text) override;

protected:
    platform::UniqueFile file_;
};

class CLogSplitFile : public CLogFile {
public:
    CLogSplitFile(const std::wstring& path, unsigned long long maxBytes);
    void Write(const wchar_t* text) override;

private:
    unsigned long long maxBytes_;
    unsigned lines_ = 0;
};

class CApplog : public IApplog {
public:
    CApplog();
    ~CApplog() override;
    CApplog(const CApplog&) = delete;
    CApplog& operator=(const CApplog&) = delete;

    HRESULT Open(HINSTANCE instance) override;
    void Release() override;
    void Write(unsigned level, const wchar_t* text) override;
    HRESULT WriteHex(unsigned level, const BYTE* bytes, unsigned count) override;
    HRESULT Reserved4(INT_PTR, INT_PTR) override { return E_NOTIMPL; }
    HRESULT Reserved5(INT_PTR, INT_PTR) override { return E_NOTIMPL; }
    HRESULT SetLevel(unsigned level) override;
    HRESULT GetLevel(unsigned* level) override;
    bool GetDrWatsonLogPath(wchar_t* buffer, int capacity) override;
    bool LoadSettings(const wchar_t* settingsPath) override;
    void Reset() override;

    const std::wstring& LogFilePath() const { return filePath_; }
    size_t SinkCount() const { return sinks_.size(); }

private:
    class Lock;

    std::vector<std::unique_ptr<CLogBase>> sinks_;
    unsigned maxLogSizeKb_ = 0;
    int enableTimeStamp_ = 0;
    int mask_ = 0;
    std::wstring filePath_;
    unsigned level_ = 0;
    std::wstring mailAddress_;
    int enableSendMail_ = 0;
    HINSTANCE instance_ = nullptr;  // the program whose folder holds Almanac.dll
    CRITICAL_SECTION lock_;
};

// The process's log, or null before StartAppLog.
IApplog* AppLog();
// Starts (or restarts) the process's log and writes the start banner.
bool StartAppLog(HINSTANCE instance);
// Writes the end banner and releases the process's log.
void EndAppLog();
// The logging function used everywhere: 1 when the line reached the log.
int PelicanLog(unsigned level, const wchar_t* format, ...);

// Creates every missing directory along a path; true when it exists afterwards.
bool CreateMissingDirectories(const std::wstring& path);
// The folder under which the log file goes (common application data, else the program's).
std::wstring LogDataFolder(HINSTANCE instance);
