// Pieces of the file view benchmark: timing helpers and the whole-path measure.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bench {

inline double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Dispatches what is queued for about the given time.
inline void PumpFor(double ms) {
    double until = NowMs() + ms;
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        if (ms > 0) ::Sleep(1);
    } while (NowMs() < until);
}

inline double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct PathSetup {
    int files = 20000;
    int rounds = 3;
    double bareMs = 0;          // the bare list fill of the same number of rows
    bool probe = false;         // a second process measures how long the window does not answer
    HWND host = nullptr;        // the window the views live in
    std::wstring scratch;       // a folder of the run's own, ending in "\"
    std::wstring skin;          // holds tree.bmp
    std::wstring programFolder; // build\bin\, where the libraries are
    std::wstring deviceRoot;    // an existing device folder to use, ending in "\"; empty for one under scratch
};

void MeasureWholePath(const PathSetup& setup);
// The probe process's body: knocks on target until the measuring process says stop.
int RunProbe(HWND target);

}  // namespace bench
