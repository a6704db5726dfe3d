// Keeps the process's multithreaded apartment alive and homes objects in it,
// so that calls from other processes (a drop target reading a large file) run
// on COM's own threads and never wait for, or block, the window thread.
#pragma once
#include <windows.h>
// The COM headers need the types of <windows.h>.
#include <unknwn.h>

#include "platform/Handles.h"

class MtaHome {
public:
    MtaHome() = default;
    ~MtaHome() { Stop(); }
    MtaHome(const MtaHome&) = delete;
    MtaHome& operator=(const MtaHome&) = delete;

    // Starts the thread that holds the apartment; true when it is there.
    bool Start();
    // Ends the apartment for good: objects homed in it are disconnected from other processes.
    void Stop();

    // For the calling thread, a proxy to `object` homed in the apartment.
    HRESULT Adopt(IUnknown* object, REFIID iid, void** proxy);

private:
    platform::UniqueHandle stop_;
    platform::UniqueHandle keeper_;
    bool stopped_ = false;
};
