// CEmberApplication: the host base; owns the soft bus and drives start and stop.
#pragma once
#include <memory>

#include "framework/IEmberSoftBus.h"

class CEmberApplication {
public:
    CEmberApplication();
    virtual ~CEmberApplication();
    CEmberApplication(const CEmberApplication&) = delete;
    CEmberApplication& operator=(const CEmberApplication&) = delete;

    virtual HRESULT Start();
    virtual HRESULT Stop();
    virtual bool LoadModules(IEmberSoftBus* softBus) = 0;
    virtual HRESULT GetModule(const GUID* moduleId, IEmberAppModule** module);

protected:
    IEmberSoftBus* SoftBus() const { return softBus_.get(); }

private:
    struct ReleaseBus {
        void operator()(IEmberSoftBus* bus) const { bus->Release(); }
    };
    std::unique_ptr<IEmberSoftBus, ReleaseBus> softBus_;
};
