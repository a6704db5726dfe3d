// Result-code helpers: callers test for negative, never for equality with zero.
#pragma once
#include <windows.h>

#define EMBER_FAILED(hr) (static_cast<HRESULT>(hr) < 0)

// Returns early with the failure of an expression (in the manner of RINOK).
#define EMBER_RETURN_IF_FAILED(expr)            \
    do {                                        \
        const HRESULT ember_hr_ = (expr);       \
        if (EMBER_FAILED(ember_hr_)) return ember_hr_; \
    } while (0)
