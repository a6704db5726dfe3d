// A message-only window of the command executive on the user-interface
// thread: commands raised on the device library's thread, and a job's end
// when there is no main window to tell, are posted here and run in order.
#pragma once
#include "platform/Wnd.h"

class CAppModuleCmdExecutive;

class CCommandRelayWnd : public platform::CWnd {
public:
    // wParam the command's table row, lParam its parameter.
    static constexpr UINT kRelayCommand = WM_APP + 1;
    // wParam 1 success, 0 failure.
    static constexpr UINT kRelayCompletion = WM_APP + 2;
    // A drop target reading an offer: wParam 1 started, 0 ended (lParam 1 when every read succeeded).
    static constexpr UINT kRelayShellRead = WM_APP + 4;  // WM_APP + 3 is the copy worker's question (CopyJob.h)

    explicit CCommandRelayWnd(CAppModuleCmdExecutive* owner) : owner_(owner) {}
    bool Create();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CAppModuleCmdExecutive* owner_;
};
