#include "KiteClient.h"

#include "TextUtil.h"

#include <SkinMagicU.h>

#include <commctrl.h>

namespace kite {

namespace {
// Numbers the demo's calls and messages come from when none is given.
const wchar_t* const kDemoPeers[] = {L"8002", L"8003", L"6100", L"8004"};
const wchar_t* const kDemoTexts[] = {L"Call me back when you are in, please.",
                                     L"The meeting moved to 3 pm.", L"Lunch?"};
int g_demoCounter = 0;
} // namespace

KiteClient::KiteClient(const ClientOptions& options) : m_options(options) {
    m_exeDir = kite::ExeDir();
    m_dataDir = options.dataDir.empty() ? m_exeDir : ResolveBesideExe(options.dataDir);
    EnsureDir(m_dataDir);
    std::wstring defaults = JoinPath(m_exeDir, L"defaults");
    m_config.reset(
        new ClientConfig(JoinPath(m_exeDir, L"kite.ini"), JoinPath(defaults, L"kite.ini")));
    m_lang.reset(new LangService(JoinPath(m_exeDir, L"lang")));
    m_settings.reset(new SettingsStore(JoinPath(m_dataDir, L"settings.ini"),
                                       JoinPath(defaults, L"settings.ini")));
    m_sip.reset(new sip::SipClient(JoinPath(m_dataDir, L"log\\sip.log")));
    m_sip->Settings() = m_config->SipSettings();
    m_login.reset(new LoginLogic(*m_settings, *m_sip, JoinPath(m_dataDir, L"regusers.ini")));
    ApplyRegistrarOption();
    m_records.reset(new CallRecordStore(AccountsDir()));
    m_contacts.reset(new PhoneBook(AccountsDir()));
    m_main.reset(new MainFrame(*this));
}

KiteClient::~KiteClient() {
    Shutdown();
}

RegistrarAddresses ParseRegistrarOption(const std::wstring& option) {
    RegistrarAddresses out;
    std::wstring rest = option;
    for (int i = 0; i < 2 && !rest.empty(); ++i) {
        size_t comma = rest.find(L',');
        std::wstring one = Trim(rest.substr(0, comma));
        rest = comma == std::wstring::npos ? std::wstring() : rest.substr(comma + 1);
        size_t colon = one.rfind(L':');
        out.host[i] = Trim(one.substr(0, colon));
        out.port[i] = colon == std::wstring::npos ? L"5060" : Trim(one.substr(colon + 1));
    }
    return out;
}

void KiteClient::ApplyRegistrarOption() {
    if (m_options.registrar.empty() || m_settings->GetServerList()->empty())
        return;
    RegistrarAddresses r = ParseRegistrarOption(m_options.registrar);
    const ServerInfo& first = m_settings->GetServerList()->front();
    m_settings->SetServer(0, first.displayName, CStr(r.host[0]), CStr(r.port[0]), CStr(r.host[1]),
                          CStr(r.port[1]));
}

std::wstring KiteClient::AccountsDir() const {
    return JoinPath(m_dataDir, L"accounts");
}

bool KiteClient::Start() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    std::wstring language = m_options.language.empty() ? m_config->Language() : m_options.language;
    if (!m_lang->Load(language) && !m_lang->Load(L"en")) {
        m_error = L"no language file in " + JoinPath(m_exeDir, L"lang");
        return false;
    }
    // The skin file the plug-in's windows are drawn with.
    SkinLoadFile(JoinPath(m_exeDir, L"kite.skin").c_str());

    // The siblings must be there before the panel is created: it asks
    // them for its data while it initialises.
    m_settings->Register();
    m_login->Register();
    m_records->Register();
    m_contacts->Register();
    m_lang->Register();
    m_main->Register();
    m_registered = true;

    m_login->SetPanel([this] { return Panel(); });
    // A registration lost for good: the main window is no longer
    // registered when the panel hears of it.
    m_login->SetOnLost([this] { m_main->SetLoginState(0); });
    m_login->SetObserver([this] {
        if (m_languagePending && m_login->GetState() != LoginLogic::STATE_REGISTERING) {
            m_languagePending = false;
            if (ISIGNDESK* panel = Panel())
                panel->OnChangeLanguage();
        }
        m_main->RefreshPages();
    });
    m_records->SetObserver([this](int kind) { OnRecordsChanged(kind); });
    m_contacts->SetObserver([this] { m_main->RefreshPages(); });

    m_main->SetStartupAccount(m_options.account, m_options.password);
    if (!m_main->CreateFrame()) {
        m_error = L"cannot create the main window";
        return false;
    }
    AfxSetMainWnd(m_main.get());
    m_main->SetWindowPos(nullptr, m_options.x, m_options.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_main->ShowWindow(SW_SHOW);
    if (!CreatePanel())
        return false;
    m_main->UpdateWindow();
    return true;
}

bool KiteClient::CreatePanel() {
    if (!m_plugin.Load(JoinPath(m_exeDir, L"SIGNDESK.dll"))) {
        m_error = m_plugin.Error();
        return false;
    }
    ISIGNDESK* panel = m_plugin.Panel();
    if (!panel->Create(m_main.get())) {
        m_error = L"the plug-in could not create its panel";
        return false;
    }
    panel->Move(m_main->PageRect());
    // The panel's template carries its own texts; the client's language
    // replaces them. The switch also sets the status text by the main
    // window's registration state, so while a login that the panel started
    // on creation (start-up account, automatic login) is under way it waits
    // for the answer, which would otherwise be shown as "not logged in".
    if (m_login->GetState() == LoginLogic::STATE_REGISTERING)
        m_languagePending = true;
    else
        panel->OnChangeLanguage();
    m_main->ShowPage(m_main->CurrentPage());
    panel->InitFocus();
    return true;
}

int KiteClient::Run() {
    m_main->SetQuitOnDestroy(true);
    return AfxRunMessageLoop();
}

void KiteClient::Shutdown() {
    if (m_login)
        m_login->Close(m_config->CloseWaitMs());
    m_plugin.Unload();
    if (m_main && m_main->GetSafeHwnd()) {
        m_main->SetQuitOnDestroy(false);
        m_main->DestroyWindow();
    }
    if (AfxGetMainWnd() == m_main.get())
        AfxSetMainWnd(nullptr);
    if (m_registered) {
        m_settings->Unregister();
        m_login->Unregister();
        m_records->Unregister();
        m_contacts->Unregister();
        m_lang->Unregister();
        m_main->Unregister();
        m_registered = false;
    }
    if (m_records)
        m_records->CloseAccountDatabase();
    if (m_contacts)
        m_contacts->CloseAccountDatabase();
}

bool KiteClient::SwitchLanguage(const std::wstring& code) {
    if (!m_lang->Load(code))
        return false;
    m_languagePending = false;
    m_config->SetLanguage(code);
    m_main->Relabel();
    if (ISIGNDESK* panel = Panel())
        panel->OnChangeLanguage();
    return true;
}

bool KiteClient::ReloadPlugin() {
    m_plugin.Unload();
    m_login->Reset();
    m_records->CloseAccountDatabase();
    m_contacts->CloseAccountDatabase();
    m_main->SetLoginState(0);
    m_main->SetCurrentAccount(CString());
    return CreatePanel();
}

void KiteClient::SetMultiUser(bool on) {
    m_settings->SetMultiUser(on);
    ReloadPlugin();
}

void KiteClient::OnRecordsChanged(int kind) {
    m_main->RefreshPages();
    // The panel counts the unsettled missed calls again (it counts by
    // itself when it opens an account's store).
    if (ISIGNDESK* panel = kind >= 0 ? Panel() : nullptr)
        panel->UpdateUnsettledMsg(kind);
}

void KiteClient::AddMissedCall(const std::wstring& peer) {
    std::wstring account = m_records->IsOpen() ? m_records->Account() : m_main->CurrentAccount();
    if (account.empty() && !m_settings->GetAccountList()->empty())
        account = Str(m_settings->GetAccountList()->front());
    if (account.empty())
        return;
    std::wstring from = peer.empty() ? kDemoPeers[g_demoCounter++ % 4] : peer;
    m_records->Add(account, KIND_MISSED, from, false);
}

void KiteClient::AddMessage(const std::wstring& peer, const std::wstring& text) {
    std::wstring account = m_records->IsOpen() ? m_records->Account() : m_main->CurrentAccount();
    if (account.empty())
        return;
    int n = g_demoCounter++;
    m_records->Add(account, KIND_MESSAGE, peer.empty() ? kDemoPeers[n % 4] : peer, false,
                   text.empty() ? kDemoTexts[n % 3] : text);
}

void KiteClient::SettleRecords(int kind) {
    m_records->SettleAll(kind);
}

} // namespace kite
