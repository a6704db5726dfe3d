// The module host: which modules make up the program, in which order they
// are made or loaded, and which failures stop the start.
#pragma once
#include <string>
#include <vector>

#include "framework/CEmberApplication.h"

// What happens when a catalogue step fails.
enum class StepFailure {
    AbandonStart,  // the version library: the user is told which file is missing
    Ignore,        // loading goes on
    StopLoading,   // LoadModules returns false at once
    LogOnly,       // logged as "Load command executive module! bRet=%d"
    Outcome,       // the step's outcome is LoadModules' outcome
};

struct ModuleStep {
    GUID id;
    const wchar_t* library;              // a DLL in the program directory, or null
    IEmberAppModule* (*create)();        // an in-program module, or null
    StepFailure onFailure;
};

class CPelicanApplication : public CEmberApplication {
public:
    CPelicanApplication();
    // For tests: another catalogue and program directory (with a trailing backslash).
    CPelicanApplication(std::vector<ModuleStep> catalogue, std::wstring programDirectory);

    bool LoadModules(IEmberSoftBus* softBus) override;

    // The program's fixed catalogue, in load order.
    static std::vector<ModuleStep> Catalogue();

private:
    bool RunStep(IEmberSoftBus* softBus, const ModuleStep& step, const std::wstring& directory);

    std::vector<ModuleStep> catalogue_;
    std::wstring programDirectory_;  // empty: the running executable's
};
