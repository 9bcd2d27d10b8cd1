#include "HostTestUtil.h"

#include "TextUtil.h"

#include <SkinMagicExU.h>

namespace hosttest {

void PumpFor(unsigned ms) {
    DWORD start = ::GetTickCount();
    for (;;) {
        AfxPumpPendingMessages();
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms)
            break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& pred, unsigned timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        AfxPumpPendingMessages();
        if (pred())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::wstring FreshDir(const std::wstring& name) {
    std::wstring dir = kite::JoinPath(kite::ExeDir(), name);
    kite::RemoveTree(dir);
    kite::EnsureDir(dir);
    return dir;
}

namespace {
int AnswerAndRecord(const SKINMSGBOXINFO* info, void*) {
    Boxes().push_back(SeenBox{info->lpText ? info->lpText : L"",
                              info->lpCaption ? info->lpCaption : L"", info->uType});
    return IDOK;
}
} // namespace

void AnswerBoxes() {
    Boxes().clear();
    SkinSetMessageBoxHandler(&AnswerAndRecord, nullptr);
}

void StopAnsweringBoxes() {
    SkinSetMessageBoxHandler(nullptr, nullptr);
}

std::vector<SeenBox>& Boxes() {
    static std::vector<SeenBox> boxes;
    return boxes;
}

void RecordingPanel::OnRegResponse(int code) {
    calls.push_back(Call{L"OnRegResponse", code, ::GetTickCount()});
}

void RecordingPanel::OnDeRegResponse(int code) {
    calls.push_back(Call{L"OnDeRegResponse", code, ::GetTickCount()});
}

void RecordingPanel::UpdateUnsettledMsg(int32_t kind) {
    calls.push_back(Call{L"UpdateUnsettledMsg", kind, ::GetTickCount()});
}

} // namespace hosttest
