// CPelicanApplication.
#include "app/CPelicanApplication.h"

#include <new>

#include "app/Applog.h"
#include "app/ProgramPaths.h"
#include "executive/CAppModuleCmdExecutive.h"
#include "fileview/CAppModuleFileView.h"
#include "framework/EmberGuids.h"
#include "framework/ModuleLibrary.h"
#include "platform/SystemServices.h"
#include "ui/CAppModuleUIMain.h"

namespace {

template <class T>
IEmberAppModule* Make() {
    return new (std::nothrow) T();
}

}  // namespace

CPelicanApplication::CPelicanApplication() : catalogue_(Catalogue()) {}

CPelicanApplication::CPelicanApplication(std::vector<ModuleStep> catalogue, std::wstring programDirectory)
    : catalogue_(std::move(catalogue)), programDirectory_(std::move(programDirectory)) {}

std::vector<ModuleStep> CPelicanApplication::Catalogue() {
    return {
        {ember::MID_AlmanacModule, L"Almanac.dll", nullptr, StepFailure::AbandonStart},
        {ember::MID_ConfigModule, L"Config.dll", nullptr, StepFailure::Ignore},
        {ember::MID_FileView, nullptr, &Make<CAppModuleFileView>, StepFailure::StopLoading},
        {ember::MID_UIMain, nullptr, &Make<CAppModuleUIMain>, StepFailure::StopLoading},
        {ember::MID_CmdExecutive, nullptr, &Make<CAppModuleCmdExecutive>, StepFailure::LogOnly},
        {ember::MID_Shuttle, L"Shuttle.dll", nullptr, StepFailure::Outcome},
    };
}

bool CPelicanApplication::RunStep(IEmberSoftBus* softBus, const ModuleStep& step, const std::wstring& directory) {
    if (!softBus) return false;
    if (step.library) return BindModuleLibrary(softBus, step.id, directory + step.library) >= 0;
    IEmberAppModule* module = step.create ? step.create() : nullptr;
    if (!module) {
        platform::System().MessageBox(nullptr, L"Out of memory.", L"Pelican", MB_OK | MB_ICONSTOP);
        return false;
    }
    if (softBus->RegisterModule(&step.id, module, nullptr) < 0) {
        module->Release();  // not taken by the bus
        return false;
    }
    return true;
}

bool CPelicanApplication::LoadModules(IEmberSoftBus* softBus) {
    std::wstring directory = programDirectory_.empty() ? ModuleDirectory(nullptr) : programDirectory_;
    bool outcome = false;
    for (const ModuleStep& step : catalogue_) {
        bool ok = RunStep(softBus, step, directory);
        switch (step.onFailure) {
        case StepFailure::AbandonStart:
            if (!ok) {
                // A file-not-found failure that names the library, then an orderly end.
                std::wstring path = directory + step.library;
                platform::System().MessageBox(nullptr, L"'" + path + L"' was not found.", L"Pelican",
                                              MB_OK | MB_ICONSTOP);
                return false;
            }
            break;
        case StepFailure::Ignore:
            break;
        case StepFailure::StopLoading:
            if (!ok) return false;
            break;
        case StepFailure::LogOnly:
            PelicanLog(0, L"Load command executive module! bRet=%d\n", ok ? 1 : 0);
            break;
        case StepFailure::Outcome:
            outcome = ok;
            break;
        }
    }
    return outcome;
}
