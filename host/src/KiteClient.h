// The reference client: owns the host-side components, registers them with
// the host framework, loads the plug-in, embeds its panel in the main
// window and runs the message loop.
#pragma once

#include "AccountStores.h"
#include "ClientConfig.h"
#include "LangService.h"
#include "LoginLogic.h"
#include "MainFrame.h"
#include "PluginLoader.h"
#include "SettingsStore.h"
#include "sip/SipClient.h"

#include <memory>
#include <string>

namespace kite {

struct ClientOptions {
    // Start-up credentials handed to the panel (IUIMain::GetStartupAccount).
    std::wstring account;
    std::wstring password;
    // Folder of the client's data files; empty: beside the executable.
    std::wstring dataDir;
    // Language code to start with; empty: the configured one.
    std::wstring language;
    // The registrar the first login server of the list points at:
    // "host:port" or "host:port,host:port" (main, backup); empty: as the
    // settings have it.
    std::wstring registrar;
    // Where the main window is placed on the screen.
    int x = 40;
    int y = 40;
};

// The addresses of a --registrar option, "host:port[,host:port]": main
// and backup (host empty when not given; port 5060 when left out).
struct RegistrarAddresses {
    std::wstring host[2];
    std::wstring port[2];
};
RegistrarAddresses ParseRegistrarOption(const std::wstring& option);

class KiteClient {
public:
    explicit KiteClient(const ClientOptions& options);
    ~KiteClient();
    KiteClient(const KiteClient&) = delete;
    KiteClient& operator=(const KiteClient&) = delete;

    // Everything up to the visible main window with the panel in it; false
    // (with Error()) when the plug-in cannot be loaded or shown.
    bool Start();
    // The host's message loop, until the main window closes.
    int Run();
    // Ends the registrations (waiting a few seconds at most), unloads the
    // plug-in and takes the components out of the framework.
    void Shutdown();
    const std::wstring& Error() const { return m_error; }

    // Switches the language of the client and of the plug-in (slot 13).
    bool SwitchLanguage(const std::wstring& code);
    // Unloads and loads the plug-in again, with a new panel (a change of
    // the registration mode takes effect this way).
    bool ReloadPlugin();
    void SetMultiUser(bool on);
    // A call missed while the user was away, for the open account (or the
    // last one when none is open).
    void AddMissedCall(const std::wstring& peer);
    void AddMessage(const std::wstring& peer, const std::wstring& text);
    // Marks every record of kind of the open account as seen.
    void SettleRecords(int kind);

    const std::wstring& ExeDir() const { return m_exeDir; }
    const std::wstring& DataDir() const { return m_dataDir; }
    std::wstring AccountsDir() const;
    ClientConfig& Config() { return *m_config; }
    LangService& Lang() { return *m_lang; }
    SettingsStore& Settings() { return *m_settings; }
    sip::SipClient& Sip() { return *m_sip; }
    LoginLogic& Login() { return *m_login; }
    CallRecordStore& Records() { return *m_records; }
    PhoneBook& Contacts() { return *m_contacts; }
    MainFrame& Main() { return *m_main; }
    PluginLoader& Plugin() { return m_plugin; }
    ISIGNDESK* Panel() const { return m_plugin.Panel(); }
    HWND PanelWnd() const { return m_plugin.PanelWnd(); }
    // A text of the client's own windows in the current language.
    std::wstring Text(const wchar_t* key) { return m_lang->Text(L"Client", key); }

private:
    bool CreatePanel();
    void ApplyRegistrarOption();
    void OnRecordsChanged(int kind);

    // The panel follows the client's language once the registration
    // started while it was created has been answered.
    bool m_languagePending = false;
    ClientOptions m_options;
    std::wstring m_exeDir;
    std::wstring m_dataDir;
    std::wstring m_error;
    std::unique_ptr<ClientConfig> m_config;
    std::unique_ptr<LangService> m_lang;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<sip::SipClient> m_sip;
    std::unique_ptr<LoginLogic> m_login;
    std::unique_ptr<CallRecordStore> m_records;
    std::unique_ptr<PhoneBook> m_contacts;
    std::unique_ptr<MainFrame> m_main;
    PluginLoader m_plugin;
    bool m_registered = false;
};

} // namespace kite
