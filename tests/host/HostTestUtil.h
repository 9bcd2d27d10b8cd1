// Helpers of the client's tests: pumping the message loop while waiting
// for asynchronous answers, answering skinned message boxes, fresh data
// folders, and a recording stand-in for the panel's interface.
#pragma once

#include <SIGNDESKInterface.h>

#include <functional>
#include <string>
#include <vector>

namespace hosttest {

// Dispatches messages (with the framework's pre-translation) for ms.
void PumpFor(unsigned ms);
// Pumps until pred() holds or timeoutMs passed; returns pred().
bool PumpUntil(const std::function<bool()>& pred, unsigned timeoutMs = 5000);

// A data folder beside the test executable, emptied.
std::wstring FreshDir(const std::wstring& name);

// Skinned message boxes are answered with IDOK and recorded.
struct SeenBox {
    std::wstring text;
    std::wstring caption;
    unsigned type;
};
void AnswerBoxes();
void StopAnsweringBoxes();
std::vector<SeenBox>& Boxes();

// Records what the login logic delivers to the panel, with the time.
class RecordingPanel : public ISIGNDESK {
public:
    struct Call {
        std::wstring what;
        int code;
        unsigned long at; // GetTickCount
    };
    std::vector<Call> calls;

    long AddRef() override { return 1; }
    long Release() override { return 1; }
    int QueryInterface(const GUID&, IUSBase** ppv) override {
        if (ppv)
            *ppv = nullptr;
        return 0;
    }
    int Create(CWnd*) override { return 0; }
    CDialog* GetLoginWnd() override { return nullptr; }
    void Move(const RECT&) override {}
    void OnRegResponse(int code) override;
    void OnDeRegResponse(int code) override;
    void Login() override {}
    void Logout() override {}
    void InitFocus() override {}
    void OnCustomizeSet() override {}
    void OnChangeLanguage() override {}
    void UpdateUnsettledMsg(int32_t kind) override;
    void CloseKeyBoardDlg() override {}
};

} // namespace hosttest
