// The registration list and its entry dialog, opened by the real plug-in's
// login panel in multi-user mode from its advanced button. Records, rows and
// edits are their texts joined by '|': account|password|address|port|imsDomain|flag|extra.
#include "PanelTest.h"

#include <functional>
#include <regex>
#include <sstream>

namespace {

using Texts = std::vector<std::wstring>;

Texts Split(const std::wstring& joined) {
    Texts parts;
    std::wstringstream in(joined + L"|");
    for (std::wstring part; std::getline(in, part, L'|');)
        parts.push_back(part);
    return parts;
}

std::wstring Join(const Texts& parts) {
    std::wstring s;
    for (size_t i = 0; i < parts.size(); ++i)
        s += (i ? L"|" : L"") + parts[i];
    return s;
}

// The texts of controls (-1: the window's title), joined by '|'.
std::wstring Joined(HWND hDlg, const std::vector<int>& ids) {
    Texts texts;
    for (int id : ids)
        texts.push_back(id < 0 ? Text(hDlg) : Text(hDlg, id));
    return Join(texts);
}

// The rows records should show: any password as six asterisks.
Texts RowsOf(const Texts& records) {
    Texts rows;
    for (const auto& record : records) {
        Texts f = Split(record);
        f.resize(5);
        f[1] = f[1].empty() ? L"" : L"******";
        rows.push_back(Join(f));
    }
    return rows;
}

const Texts kThree = {L"alice|secret|127.0.0.1|5060|ims.a|1|", L"bob||127.0.0.2|5061||1|",
                      L"carol|x|sip.example.com|5070|ims.c|3|ex"};
const std::vector<int> kEdits = {IDC_REGUSERSINFO_ACCOUNT, IDC_REGUSERSINFO_PASSWORD,
                                 IDC_REGUSERSINFO_ADDRESS, IDC_REGUSERSINFO_PORT,
                                 IDC_REGUSERSINFO_IMSDOMAIN};

HWND List(HWND hDlg) {
    return Item(hDlg, IDC_REGUSERS_LIST);
}

Texts Table(HWND hDlg) {
    Texts rows(static_cast<size_t>(SendMessageW(List(hDlg), LVM_GETITEMCOUNT, 0, 0)));
    wchar_t buf[256];
    LVITEMW item = {};
    item.pszText = buf;
    item.cchTextMax = 256;
    for (size_t row = 0; row < rows.size(); ++row)
        for (item.iSubItem = 0; item.iSubItem < 5; ++item.iSubItem) {
            SendMessageW(List(hDlg), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            rows[row] += (item.iSubItem ? L"|" : L"") + std::wstring(buf);
        }
    return rows;
}

// Selects a row as a click does (the list notifies the dialog); -1 clears.
void Select(HWND hDlg, int row) {
    LVITEMW item = {};
    item.state = row < 0 ? 0 : LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(hDlg), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    Pump();
}

void DoubleClick(HWND hDlg, int row) {
    RECT rc = {LVIR_LABEL, 0, 0, 0};
    SendMessageW(List(hDlg), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
    LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageW(List(hDlg), WM_LBUTTONDBLCLK, MK_LBUTTON, pt);
    SendMessageW(List(hDlg), WM_LBUTTONUP, 0, pt);
    Pump();
}

// Esc or Enter on the list (no push button focused); 0: the close box.
void Close(HWND hDlg, UINT vk) {
    SetFocus(List(hDlg));
    vk ? PressKey(List(hDlg), vk) : (void)PostMessageW(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

// Enabled buttons, "AMDC" for Add, Modify, Delete, Clear; '-' when disabled.
std::string Buttons(HWND hDlg) {
    std::string s;
    for (int id = IDC_REGUSERS_BTN_ADD; id <= IDC_REGUSERS_BTN_CLEAR; ++id)
        s += Enabled(hDlg, id) ? "AMDC"[id - IDC_REGUSERS_BTN_ADD] : '-';
    return s;
}

// Sets the edits (their window texts notify the dialog as typing does).
void Fill(HWND hEntry, const std::wstring& joined) {
    Texts texts = Split(joined);
    for (size_t i = 0; i < texts.size(); ++i)
        SetText(hEntry, kEdits[i], texts[i]);
}

class RegUsers : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        siblings.login.multiUser = 1;
        ASSERT_NE(nullptr, CreatePanel());
        Calls().Clear();
    }

    // Opens the list; action acts once it is initialised and ends it.
    void RunList(const std::function<void(HWND)>& action) {
        DialogDriver::OnNextDialog(action);
        EXPECT_TRUE(Click(hPanel, IDC_LOGIN_BTN_ADVANCED));
        EXPECT_EQ(0, DialogDriver::Pending()) << "the list opened";
    }

    // Opens the entry dialog with Add (row -1), Modify or a double click on
    // row, runs action in it, closes the list with Enter and returns the
    // list's rows by then.
    Texts Entry(int row, bool doubleClick, const std::function<void(HWND)>& action) {
        Texts rows;
        RunList([&](HWND hDlg) {
            DialogDriver::OnNextDialog(action);
            Select(hDlg, row);
            if (doubleClick)
                DoubleClick(hDlg, row);
            else
                EXPECT_TRUE(Click(hDlg, row < 0 ? IDC_REGUSERS_BTN_ADD : IDC_REGUSERS_BTN_MODIFY));
            EXPECT_EQ(0, DialogDriver::Pending()) << "the entry dialog opened";
            rows = Table(hDlg);
            Close(hDlg, VK_RETURN);
        });
        return rows;
    }

    void SetRecords(const Texts& records) {
        siblings.login.regUsers.clear();
        for (const auto& record : records) {
            Texts f = Split(record);
            f.resize(7);
            siblings.login.regUsers.push_back({f[0].c_str(), f[1].c_str(), f[2].c_str(),
                                               f[3].c_str(), f[4].c_str(), std::stoi(f[5]),
                                               f[6].c_str()});
        }
    }
    Texts Stored() const {
        Texts out;
        for (const RegInfo& r : siblings.login.regUsers)
            out.push_back(Join({Str(r.account), Str(r.password), Str(r.address), Str(r.port),
                                Str(r.imsDomain), std::to_wstring(r.flag), Str(r.extra)}));
        return out;
    }
};

// Also: each traced member writes its Enter and Leave lines, in call order.
TEST_F(RegUsers, ListShowsTextsColumnsAndRowsItsButtonsFollowTheSelectionAndItIsTraced) {
    SetRecords(kThree);
    TraceLogTail trace;
    trace.Mark();
    RunList([&](HWND hDlg) {
        EXPECT_EQ(L"Kite:IDS_MAIN_REG_TITLE|Kite:IDS_MAIN_REG_ADD|Kite:IDS_MAIN_REG_MODIFY|"
                  L"Kite:IDS_MAIN_REG_DEL|Kite:IDS_MAIN_REG_BTN_CLEAR",
                  Joined(hDlg, {-1, IDC_REGUSERS_BTN_ADD, IDC_REGUSERS_BTN_MODIFY,
                                IDC_REGUSERS_BTN_DEL, IDC_REGUSERS_BTN_CLEAR}));
        EXPECT_TRUE(SendMessageW(List(hDlg), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
                    LVS_EX_FULLROWSELECT);
        // Header, width and alignment (Left, Right or Centre) of every column.
        Texts columns;
        wchar_t buf[64];
        for (LVCOLUMNW col{LVCF_TEXT | LVCF_WIDTH | LVCF_FMT, 0, 0, buf, 64, 0, 0, 0, 0, 0, 0};
             SendMessageW(List(hDlg), LVM_GETCOLUMNW, columns.size(),
                          reinterpret_cast<LPARAM>(&col));)
            columns.push_back(std::wstring(buf) + L" " + std::to_wstring(col.cx) + L" " +
                              L"LRC"[col.fmt & LVCFMT_JUSTIFYMASK]);
        EXPECT_EQ(L"Kite:IDS_MAIN_REG_ACCOUNT 80 L|Kite:IDS_MAIN_REG_PASSWORD 80 C|"
                  L"Kite:IDS_MAIN_REG_IP 120 C|Kite:IDS_MAIN_REG_PORT 80 C|"
                  L"Kite:IDS_MAIN_REG_FIELD 80 C",
                  Join(columns));
        // A one-character password shows six asterisks too.
        EXPECT_EQ((Texts{L"alice|******|127.0.0.1|5060|ims.a", L"bob||127.0.0.2|5061|",
                         L"carol|******|sip.example.com|5070|ims.c"}),
                  Table(hDlg));
        EXPECT_EQ("A--C", Buttons(hDlg));
        Select(hDlg, 0);
        EXPECT_EQ("AMDC", Buttons(hDlg));
        DialogDriver::OnNextDialog([](HWND hEntry) { EXPECT_TRUE(Click(hEntry, IDOK)); });
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_MODIFY));
        DialogDriver::OnNextDialog([](HWND hEntry) { EXPECT_TRUE(Click(hEntry, IDCANCEL)); });
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_ADD));
        MessageBoxes::Answer(IDCANCEL);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
        MessageBoxes::Answer(IDCANCEL);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_CLEAR));
        Close(hDlg, VK_ESCAPE);
    });
    EXPECT_EQ(kThree, Stored()) << "nothing changed";
    // +Name opens a scope, -Name closes it; L is CRegUsersDlg, E CRegUsersInfoDlg.
    const std::string expected =
        "+L:InitUI +L:InitData -L:InitData -L:InitUI "
        "+L:OnBnClickedButtonRegModify +E:SetParam -E:SetParam +E:SetRegInfo -E:SetRegInfo "
        "+E:InitUI +E:OnChangeLanguage -E:OnChangeLanguage +E:InitData -E:InitData -E:InitUI "
        "+E:OnOK +L:IsAccountExist -L:IsAccountExist -E:OnOK +E:GetRegInfo -E:GetRegInfo "
        "-L:OnBnClickedButtonRegModify "
        "+L:OnBnClickedButtonRegAdd +E:SetParam -E:SetParam +E:InitUI +E:OnChangeLanguage "
        "-E:OnChangeLanguage +E:InitData -E:InitData -E:InitUI -L:OnBnClickedButtonRegAdd "
        "+L:OnBnClickedButtonRegDel -L:OnBnClickedButtonRegDel +L:OnBnClickedButtonRegClear "
        "-L:OnBnClickedButtonRegClear +L:SaveData -L:SaveData";
    static const std::regex scope(
        R"(\[[^\] ]+ CRegUsers(Info)?Dlg::(\w+)\(\)\]\[(Enter|Leave)\]$)");
    std::string seen;
    for (const std::string& line : trace.Lines()) {
        std::smatch m;
        if (std::regex_search(line, m, scope))
            seen += (seen.empty() ? "" : " ") + std::string(m[3] == "Enter" ? "+" : "-") +
                    (m[1].matched ? "E:" : "L:") + m[2].str();
    }
    EXPECT_EQ(expected, seen);
}

// Edits reach the sibling's list at once; Esc and the close box then ask it
// to save, Enter does not.
TEST_F(RegUsers, DeleteAndClearAskFirstAndOnlyTheCancelPathSaves) {
    const struct {
        const char* name;
        int button;
        bool empty; // no records: Clear is disabled, its command sent anyway
        int answer;
        UINT close; // key, 0 for the close box
        Texts kept;
    } cases[] = {
        {"Delete, cancelled, Esc", IDC_REGUSERS_BTN_DEL, false, IDCANCEL, VK_ESCAPE, kThree},
        {"Delete, Enter", IDC_REGUSERS_BTN_DEL, false, IDOK, VK_RETURN, {kThree[0], kThree[2]}},
        {"Clear, cancelled, close box", IDC_REGUSERS_BTN_CLEAR, false, IDCANCEL, 0, kThree},
        {"Clear, Enter", IDC_REGUSERS_BTN_CLEAR, false, IDOK, VK_RETURN, {}},
        {"Clear of an empty list, Esc", IDC_REGUSERS_BTN_CLEAR, true, IDOK, VK_ESCAPE, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetRecords(c.empty ? Texts() : kThree);
        Calls().Clear();
        MessageBoxes::Clear();
        HWND hListDlg = nullptr;
        RunList([&](HWND hDlg) {
            hListDlg = hDlg;
            EXPECT_EQ(c.empty ? "A---" : "A--C", Buttons(hDlg));
            Select(hDlg, c.empty ? -1 : 1);
            MessageBoxes::Answer(c.answer);
            Command(hDlg, c.button);
            EXPECT_EQ(c.kept, Stored());
            EXPECT_EQ(RowsOf(c.kept), Table(hDlg));
            Close(hDlg, c.close);
        });
        ASSERT_EQ(1u, MessageBoxes::Seen().size());
        const MessageBoxRecord& box = MessageBoxes::Seen()[0];
        EXPECT_EQ(c.button == IDC_REGUSERS_BTN_DEL ? L"Settings:IDS_SPEEDDIAL_TIP_CONFIRM"
                                                   : L"Kite:IDS_MAIN_REG_CLEAR",
                  box.text);
        EXPECT_EQ(L"global:IDS_INFO_QUESTION", box.caption);
        EXPECT_EQ(0x21u, box.type);
        EXPECT_FALSE(box.hasCheck);
        EXPECT_EQ(hListDlg, box.owner);
        EXPECT_EQ(c.close == VK_RETURN ? L"Login.GetRegUsers()"
                                       : L"Login.GetRegUsers()|Login.SaveRegUsers()",
                  Join(Calls().Matching(L"Login.")));
    }
}

// Without the login sibling, or with no list from it: nothing is shown;
// Modify, Delete and Clear do nothing; Add shows a row and keeps it nowhere.
TEST_F(RegUsers, WithoutAListNothingIsShownOrStored) {
    for (bool absent : {true, false}) {
        SCOPED_TRACE(absent ? "without the login sibling" : "with a null list");
        SetRecords(kThree);
        absent ? siblings.Remove(&siblings.login) : siblings.Add(&siblings.login);
        siblings.login.regUsersNull = !absent;
        Calls().Clear();
        RunList([&](HWND hDlg) {
            EXPECT_TRUE(Table(hDlg).empty());
            EXPECT_EQ("A---", Buttons(hDlg));
            DialogDriver::OnNextDialog([](HWND hEntry) {
                Fill(hEntry, L"erin|pw|127.0.0.5|5060|");
                EXPECT_TRUE(Click(hEntry, IDOK));
            });
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_ADD));
            EXPECT_EQ(Texts{L"erin|******|127.0.0.5|5060|"}, Table(hDlg));
            EXPECT_EQ("A--C", Buttons(hDlg)) << "the new row is not selected";
            Select(hDlg, 0);
            EXPECT_EQ("AMDC", Buttons(hDlg));
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_MODIFY));
            DoubleClick(hDlg, 0);
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_CLEAR));
            EXPECT_TRUE(MessageBoxes::Seen().empty()) << "nothing is asked";
            EXPECT_EQ(Texts{L"erin|******|127.0.0.5|5060|"}, Table(hDlg));
            Close(hDlg, VK_ESCAPE);
        });
        EXPECT_EQ(kThree, Stored()) << "the sibling's records are not touched";
        EXPECT_EQ(absent ? L"" : L"Login.GetRegUsers()|Login.SaveRegUsers()",
                  Join(Calls().Matching(L"Login.")))
            << "Esc still saves";
    }
}

TEST_F(RegUsers, EntryDialogTextsLimitsAndOkFollowTheRequiredFieldsAndOkCatchesBlanks) {
    Texts rows = Entry(-1, false, [](HWND hEntry) {
        EXPECT_EQ(L"Kite:IDS_MAIN_REG_TITLE|*Kite:IDS_MAIN_REG_ACCOUNT|Kite:IDS_MAIN_REG_PASSWORD|"
                  L"*Kite:IDS_MAIN_REG_IP|*Kite:IDS_MAIN_REG_PORT|Kite:IDS_MAIN_REG_FIELD|"
                  L"global:IDS_BUTTON_OK|global:IDS_BUTTON_CANCEL",
                  Joined(hEntry, {-1, IDC_REGUSERSINFO_LBL_ACCOUNT, IDC_REGUSERSINFO_LBL_PASSWORD,
                                  IDC_REGUSERSINFO_LBL_ADDRESS, IDC_REGUSERSINFO_LBL_PORT,
                                  IDC_REGUSERSINFO_LBL_IMSDOMAIN, IDOK, IDCANCEL}));
        EXPECT_EQ(L"||||", Joined(hEntry, kEdits));
        EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), GetFocus());
        EXPECT_TRUE(GetWindowLongW(Item(hEntry, IDC_REGUSERSINFO_PASSWORD), GWL_STYLE) &
                    ES_PASSWORD)
            << "the password is typed hidden";
        // Typed: at most fifty characters in each edit, digits only in the port.
        for (int id : kEdits)
            Type(Item(hEntry, id), L"5a-" + std::wstring(60, L'7'));
        const std::wstring typed = L"5a-" + std::wstring(47, L'7');
        EXPECT_EQ(Join({typed, typed, typed, std::wstring(50, L'7').replace(0, 1, L"5"), typed}),
                  Joined(hEntry, kEdits));

        // OK is enabled exactly when account, address and port hold text as
        // they stand; password and domain are optional.
        const struct {
            const wchar_t* edits;
            bool ok;
        } steps[] = {{L"||||", false},        {L"|pw|||ims", false},   {L"a|pw|||ims", false},
                     {L"a|pw|h||ims", false}, {L"a|pw|h|1|ims", true}, {L"a|pw||1|ims", false},
                     {L"|pw|h|1|ims", false}, {L"a||h|1|", true}};
        for (const auto& s : steps) {
            Fill(hEntry, s.edits);
            EXPECT_EQ(s.ok, Enabled(hEntry, IDOK)) << s.edits;
        }

        // Blanks count as text until OK, which empties and focuses the first
        // blank one of account, address and port, without a message.
        const struct {
            const wchar_t* edits;
            int blank;
        } blanks[] = {{L"alice||   |5060|", 2}, {L" \t ||  |5060|", 0}, {L"alice||host| |", 3}};
        for (const auto& b : blanks) {
            Fill(hEntry, b.edits);
            EXPECT_TRUE(Enabled(hEntry, IDOK)) << b.edits;
            EXPECT_TRUE(Click(hEntry, IDOK));
            Texts expected = Split(b.edits);
            expected[b.blank] = L"";
            EXPECT_EQ(Join(expected), Joined(hEntry, kEdits)) << "only the first blank is emptied";
            EXPECT_EQ(Item(hEntry, kEdits[b.blank]), GetFocus()) << b.edits;
            EXPECT_FALSE(Enabled(hEntry, IDOK)) << b.edits;
        }
        EXPECT_TRUE(Click(hEntry, IDCANCEL));
    });
    EXPECT_TRUE(rows.empty()) << "a cancelled Add adds nothing";
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
}

TEST_F(RegUsers, EntryDialogRefusesATripleInUseAndStoresWhatItAccepts) {
    const Texts before = {L"alice|secret|127.0.0.1|5060|ims.a|7|keep-me",
                          L"alice||127.0.0.1|5061||1|", L"bob|b2|127.0.0.2|5061|ims.b|9|bob-extra"};
    const struct {
        const char* name;
        int row;              // -1 for Add, else the row modified
        bool doubleClick;     // the row opened by a double click instead of Modify
        const wchar_t* typed; // null: OK on the record as shown
        bool refused;
        const wchar_t* retry; // after the duplicate message: the port then typed; null: Cancel
        const wchar_t* after; // the record stored at row, or appended; null: none
    } cases[] = {
        {"Add of a triple in use, then another port", -1, false,
         L"alice|other|127.0.0.1|5060|ims.b", true, L"5062",
         L"alice|other|127.0.0.1|5062|ims.b|1|"},
        {"account differing only in case", -1, false, L"Alice||127.0.0.1|5060|", false, nullptr,
         L"Alice||127.0.0.1|5060||1|"},
        {"blanks trimmed around the triple first, kept around password and domain", -1, false,
         L"  alice  | p w | 127.0.0.1\t|5060| ims ", true, L"5062",
         L"alice| p w |127.0.0.1|5062| ims |1|"},
        {"Modify without a change", 2, false, nullptr, false, nullptr, nullptr},
        {"Modify to the triple of another record, then Cancel", 1, false, L"alice||127.0.0.1|5060|",
         true, nullptr, nullptr},
        {"double click, password cleared, flag and extra carried", 0, true,
         L" carol ||127.0.0.3|5070|ims.c ", false, nullptr,
         L"carol||127.0.0.3|5070|ims.c |7|keep-me"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetRecords(before);
        MessageBoxes::Clear();
        Texts rows = Entry(c.row, c.doubleClick, [&](HWND hEntry) {
            if (c.row >= 0) {
                Texts shown = Split(before[c.row]);
                shown.resize(5);
                EXPECT_EQ(Join(shown), Joined(hEntry, kEdits));
                EXPECT_TRUE(Enabled(hEntry, IDOK));
            }
            EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), GetFocus());
            if (c.typed)
                Fill(hEntry, c.typed);
            SetFocus(Item(hEntry, IDC_REGUSERSINFO_PORT));
            EXPECT_TRUE(Click(hEntry, IDOK));
            if (!c.refused)
                return;
            ASSERT_EQ(1u, MessageBoxes::Seen().size());
            const MessageBoxRecord& box = MessageBoxes::Seen()[0];
            EXPECT_EQ(L"PhoneBook:IDS_ADDRBOOK_INFO_EXIST", box.text);
            EXPECT_EQ(L"global:IDS_INFO_INFORMATION", box.caption);
            EXPECT_EQ(0x40u, box.type);
            EXPECT_FALSE(box.hasCheck);
            EXPECT_EQ(hEntry, box.owner);
            EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), GetFocus());
            EXPECT_EQ(before, Stored());
            if (c.retry)
                SetText(hEntry, IDC_REGUSERSINFO_PORT, c.retry);
            EXPECT_TRUE(Click(hEntry, c.retry ? IDOK : IDCANCEL));
        });
        Texts after = before;
        if (c.after)
            (c.row < 0 ? after.emplace_back() : after[c.row]) = c.after;
        EXPECT_EQ(c.refused ? 1u : 0u, MessageBoxes::Seen().size());
        EXPECT_EQ(after, Stored());
        EXPECT_EQ(RowsOf(after), rows);
    }
}

} // namespace
