// The registration entry dialog, opened from the list for Add and Modify:
// its texts and edits, the OK button, blank and duplicate entries, and what
// reaches the list and the sibling's records.
#include "RegTestUtil.h"

namespace regtest {
namespace {

using Cells = std::vector<std::wstring>;

class RegEntry : public RegUsersTest {
protected:
    // Opens the entry dialog from Add and runs action in it.
    void Add(const std::function<void(HWND)>& action) {
        RunList([&](CRegUsersDlg&, HWND hDlg) {
            listDlg = hDlg;
            OnEntry([&](HWND hEntry) {
                entryDlg = hEntry;
                action(hEntry);
            });
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_ADD));
            rows.clear();
            for (int i = 0; i < RowCount(List(hDlg)); ++i)
                rows.push_back(Row(List(hDlg), i));
            PressEnter(hDlg);
        });
    }
    // Opens the entry dialog for a row (Modify button) and runs action in it.
    void Modify(int row, const std::function<void(HWND)>& action) {
        RunList([&](CRegUsersDlg&, HWND hDlg) {
            listDlg = hDlg;
            SelectRow(List(hDlg), row);
            OnEntry([&](HWND hEntry) {
                entryDlg = hEntry;
                action(hEntry);
            });
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_MODIFY));
            rows.clear();
            for (int i = 0; i < RowCount(List(hDlg)); ++i)
                rows.push_back(Row(List(hDlg), i));
            PressEnter(hDlg);
        });
    }
    HWND listDlg = nullptr;
    HWND entryDlg = nullptr;
    std::vector<Cells> rows; // the list's rows once the entry dialog closed
};

TEST_F(RegEntry, ShowsItsTextsWithStarsOnTheRequiredLabelsAndStartsEmpty) {
    Add([](HWND hEntry) {
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_TITLE"), Text(hEntry));
        EXPECT_EQ(L"*" + Lang(L"Kite", L"IDS_MAIN_REG_ACCOUNT"),
                  Text(hEntry, IDC_REGUSERSINFO_LBL_ACCOUNT));
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_PASSWORD"),
                  Text(hEntry, IDC_REGUSERSINFO_LBL_PASSWORD));
        EXPECT_EQ(L"*" + Lang(L"Kite", L"IDS_MAIN_REG_IP"),
                  Text(hEntry, IDC_REGUSERSINFO_LBL_ADDRESS));
        EXPECT_EQ(L"*" + Lang(L"Kite", L"IDS_MAIN_REG_PORT"),
                  Text(hEntry, IDC_REGUSERSINFO_LBL_PORT));
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_FIELD"),
                  Text(hEntry, IDC_REGUSERSINFO_LBL_IMSDOMAIN));
        EXPECT_EQ(Lang(L"global", L"IDS_BUTTON_OK"), Text(hEntry, IDOK));
        EXPECT_EQ(Lang(L"global", L"IDS_BUTTON_CANCEL"), Text(hEntry, IDCANCEL));

        for (int id : {IDC_REGUSERSINFO_ACCOUNT, IDC_REGUSERSINFO_PASSWORD,
                       IDC_REGUSERSINFO_ADDRESS, IDC_REGUSERSINFO_PORT, IDC_REGUSERSINFO_IMSDOMAIN})
            EXPECT_EQ(L"", Text(hEntry, id)) << id;
        EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), Focus(hEntry));
        EXPECT_FALSE(Enabled(hEntry, IDOK));
        EXPECT_TRUE(Click(hEntry, IDCANCEL));
    });
    EXPECT_TRUE(rows.empty()) << "a cancelled Add adds nothing";
    EXPECT_TRUE(Records().empty());
    EXPECT_TRUE(MessageBoxes::Seen().empty());
}

TEST_F(RegEntry, EditsTakeFiftyCharactersAndThePortDigitsOnly) {
    Add([](HWND hEntry) {
        const std::wstring sixty(60, L'a');
        for (int id : {IDC_REGUSERSINFO_ACCOUNT, IDC_REGUSERSINFO_PASSWORD,
                       IDC_REGUSERSINFO_ADDRESS, IDC_REGUSERSINFO_IMSDOMAIN}) {
            HWND hEdit = Item(hEntry, id);
            EXPECT_EQ(50, SendMessageW(hEdit, EM_GETLIMITTEXT, 0, 0)) << id;
            Type(hEdit, sixty);
            EXPECT_EQ(std::wstring(50, L'a'), Text(hEdit)) << id;
        }
        HWND hPort = Item(hEntry, IDC_REGUSERSINFO_PORT);
        EXPECT_EQ(50, SendMessageW(hPort, EM_GETLIMITTEXT, 0, 0));
        Type(hPort, L"50a6-0 x");
        EXPECT_EQ(L"5060", Text(hPort));
        Type(hPort, std::wstring(60, L'7'));
        EXPECT_EQ(50u, Text(hPort).size());

        EXPECT_TRUE(GetWindowLongW(Item(hEntry, IDC_REGUSERSINFO_PASSWORD), GWL_STYLE) &
                    ES_PASSWORD)
            << "the password is typed hidden";
        EXPECT_TRUE(Click(hEntry, IDCANCEL));
    });
}

TEST_F(RegEntry, OkIsEnabledExactlyWhenAccountAddressAndPortHoldText) {
    Add([](HWND hEntry) {
        EXPECT_FALSE(Enabled(hEntry, IDOK));
        Type(Item(hEntry, IDC_REGUSERSINFO_PASSWORD), L"pw");
        Type(Item(hEntry, IDC_REGUSERSINFO_IMSDOMAIN), L"ims");
        EXPECT_FALSE(Enabled(hEntry, IDOK)) << "password and domain are optional";
        Type(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), L"a");
        EXPECT_FALSE(Enabled(hEntry, IDOK));
        Type(Item(hEntry, IDC_REGUSERSINFO_ADDRESS), L"h");
        EXPECT_FALSE(Enabled(hEntry, IDOK));
        Type(Item(hEntry, IDC_REGUSERSINFO_PORT), L"1");
        EXPECT_TRUE(Enabled(hEntry, IDOK)) << "one character in each is enough";
        SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"");
        EXPECT_FALSE(Enabled(hEntry, IDOK));
        SetText(hEntry, IDC_REGUSERSINFO_ADDRESS, L"h");
        SetText(hEntry, IDC_REGUSERSINFO_ACCOUNT, L"");
        EXPECT_FALSE(Enabled(hEntry, IDOK));
        EXPECT_TRUE(Click(hEntry, IDCANCEL));
    });
}

TEST_F(RegEntry, ABlankAddressEnablesOkAndOkEmptiesAndFocusesIt) {
    int steps = 0;
    Add([&](HWND hEntry) {
        Fill(hEntry, L"alice", L"", L"   ", L"5060", L"");
        EXPECT_TRUE(Enabled(hEntry, IDOK)) << "blanks count as text until OK";
        ClickAndThen(hEntry, IDOK, [&, hEntry](bool open) {
            ASSERT_TRUE(open) << "a blank address keeps the dialog open";
            ++steps;
            EXPECT_EQ(L"", Text(hEntry, IDC_REGUSERSINFO_ADDRESS));
            EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ADDRESS), Focus(hEntry));
            EXPECT_FALSE(Enabled(hEntry, IDOK));
            EXPECT_EQ(L"alice", Text(hEntry, IDC_REGUSERSINFO_ACCOUNT));

            // The first blank one of account, address, port is the one caught.
            Fill(hEntry, L" \t ", L"", L"  ", L"5060", L"");
            ClickAndThen(hEntry, IDOK, [&, hEntry](bool open) {
                ASSERT_TRUE(open);
                ++steps;
                EXPECT_EQ(L"", Text(hEntry, IDC_REGUSERSINFO_ACCOUNT));
                EXPECT_EQ(L"  ", Text(hEntry, IDC_REGUSERSINFO_ADDRESS));
                EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), Focus(hEntry));
                EXPECT_FALSE(Enabled(hEntry, IDOK));

                Fill(hEntry, L"alice", L"", L"host", L" ", L"");
                ClickAndThen(hEntry, IDOK, [&, hEntry](bool open) {
                    ASSERT_TRUE(open);
                    ++steps;
                    EXPECT_EQ(L"", Text(hEntry, IDC_REGUSERSINFO_PORT));
                    EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_PORT), Focus(hEntry));
                    EXPECT_FALSE(Enabled(hEntry, IDOK));
                    EXPECT_TRUE(Click(hEntry, IDCANCEL));
                });
            });
        });
    });
    EXPECT_EQ(3, steps);
    EXPECT_TRUE(MessageBoxes::Seen().empty()) << "blank fields are refused without a message";
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(Records().empty());
}

TEST_F(RegEntry, AddOfAnExistingTripleIsRefusedAndAnotherPortAccepted) {
    Records() = {Reg(L"alice", L"secret", L"10.0.0.1", L"5060", L"ims.a")};
    bool refused = false, accepted = false;
    Add([&](HWND hEntry) {
        Fill(hEntry, L"alice", L"other", L"10.0.0.1", L"5060", L"ims.b");
        SetFocus(Item(hEntry, IDC_REGUSERSINFO_PORT));
        ClickAndThen(hEntry, IDOK, [&, hEntry](bool open) {
            ASSERT_TRUE(open) << "a duplicate keeps the dialog open";
            refused = true;
            ASSERT_EQ(1u, MessageBoxes::Seen().size());
            const MessageBoxRecord& box = MessageBoxes::Seen()[0];
            EXPECT_EQ(Lang(L"PhoneBook", L"IDS_ADDRBOOK_INFO_EXIST"), box.text);
            EXPECT_EQ(Lang(L"global", L"IDS_INFO_INFORMATION"), box.caption);
            EXPECT_EQ(0x40u, box.type);
            EXPECT_FALSE(box.hasCheck);
            EXPECT_EQ(hEntry, box.owner);
            EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), Focus(hEntry));
            EXPECT_EQ(1u, Records().size());

            SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5061");
            ClickAndThen(hEntry, IDOK, [&](bool open) { accepted = !open; });
        });
    });
    EXPECT_TRUE(refused);
    EXPECT_TRUE(accepted) << "another port is accepted";
    EXPECT_EQ(1u, MessageBoxes::Seen().size());
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((Cells{L"alice", L"******", L"10.0.0.1", L"5061", L"ims.b"}), rows[1]);
    ASSERT_EQ(2u, Records().size());
    EXPECT_TRUE(SameRecord(Reg(L"alice", L"other", L"10.0.0.1", L"5061", L"ims.b"), Records()[1]))
        << Describe(Records()[1]);
    EXPECT_EQ(1, Records()[1].flag) << "a new record starts with flag 1";
}

TEST_F(RegEntry, AccountsDifferingOnlyInCaseAreNotDuplicates) {
    Records() = {Reg(L"alice", L"", L"sip.example.com", L"5060")};
    bool accepted = false;
    Add([&](HWND hEntry) {
        Fill(hEntry, L"Alice", L"", L"sip.example.com", L"5060", L"");
        ClickAndThen(hEntry, IDOK, [&](bool open) { accepted = !open; });
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    ASSERT_EQ(2u, Records().size());
    EXPECT_EQ(CString(L"Alice"), Records()[1].account);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((Cells{L"Alice", L"", L"sip.example.com", L"5060", L""}), rows[1]);
}

TEST_F(RegEntry, BlanksAroundTheTripleAreTrimmedButKeptAroundPasswordAndDomain) {
    Records() = {Reg(L"alice", L"", L"10.0.0.1", L"5060")};
    bool refused = false, accepted = false;
    Add([&](HWND hEntry) {
        // Trimmed before the duplicate test.
        Fill(hEntry, L"  alice  ", L" p w ", L" 10.0.0.1\t", L"5060", L" ims ");
        ClickAndThen(hEntry, IDOK, [&, hEntry](bool open) {
            ASSERT_TRUE(open);
            refused = true;
            ASSERT_EQ(1u, MessageBoxes::Seen().size());
            EXPECT_EQ(Lang(L"PhoneBook", L"IDS_ADDRBOOK_INFO_EXIST"), MessageBoxes::Seen()[0].text);
            SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5062");
            ClickAndThen(hEntry, IDOK, [&](bool open) { accepted = !open; });
        });
    });
    EXPECT_TRUE(refused) << "blanks around the account do not escape the duplicate test";
    EXPECT_TRUE(accepted);
    ASSERT_EQ(2u, Records().size());
    EXPECT_TRUE(SameRecord(Reg(L"alice", L" p w ", L"10.0.0.1", L"5062", L" ims "), Records()[1]))
        << Describe(Records()[1]);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((Cells{L"alice", L"******", L"10.0.0.1", L"5062", L" ims "}), rows[1]);
}

TEST_F(RegEntry, ModifyShowsTheRecordAndAnUnchangedTripleIsAccepted) {
    Records() = {Reg(L"alice", L"a1", L"10.0.0.1", L"5060", L"ims.a"),
                 Reg(L"bob", L"b2", L"10.0.0.2", L"5061", L"ims.b", 9, L"bob-extra")};
    bool accepted = false;
    Modify(1, [&](HWND hEntry) {
        EXPECT_EQ(L"bob", Text(hEntry, IDC_REGUSERSINFO_ACCOUNT));
        EXPECT_EQ(L"b2", Text(hEntry, IDC_REGUSERSINFO_PASSWORD));
        EXPECT_EQ(L"10.0.0.2", Text(hEntry, IDC_REGUSERSINFO_ADDRESS));
        EXPECT_EQ(L"5061", Text(hEntry, IDC_REGUSERSINFO_PORT));
        EXPECT_EQ(L"ims.b", Text(hEntry, IDC_REGUSERSINFO_IMSDOMAIN));
        EXPECT_TRUE(Enabled(hEntry, IDOK));
        EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), Focus(hEntry));
        ClickAndThen(hEntry, IDOK, [&](bool open) { accepted = !open; });
    });
    EXPECT_TRUE(accepted) << "its own row is not a duplicate";
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    ASSERT_EQ(2u, Records().size());
    EXPECT_TRUE(SameRecord(Reg(L"bob", L"b2", L"10.0.0.2", L"5061", L"ims.b", 9, L"bob-extra"),
                           Records()[1]))
        << Describe(Records()[1]);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((Cells{L"bob", L"******", L"10.0.0.2", L"5061", L"ims.b"}), rows[1]);
}

TEST_F(RegEntry, ModifyToTheTripleOfAnotherRecordIsRefused) {
    Records() = {Reg(L"alice", L"", L"10.0.0.1", L"5060"),
                 Reg(L"alice", L"", L"10.0.0.1", L"5061")};
    bool refused = false;
    Modify(1, [&](HWND hEntry) {
        SetText(hEntry, IDC_REGUSERSINFO_PORT, L"5060");
        ClickAndThen(hEntry, IDOK, [&, hEntry](bool open) {
            ASSERT_TRUE(open);
            refused = true;
            EXPECT_EQ(Item(hEntry, IDC_REGUSERSINFO_ACCOUNT), Focus(hEntry));
            EXPECT_TRUE(Click(hEntry, IDCANCEL));
        });
    });
    EXPECT_TRUE(refused);
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(Lang(L"PhoneBook", L"IDS_ADDRBOOK_INFO_EXIST"), MessageBoxes::Seen()[0].text);
    EXPECT_EQ(0x40u, MessageBoxes::Seen()[0].type);
    ASSERT_EQ(2u, Records().size());
    EXPECT_EQ(CString(L"5061"), Records()[1].port) << "a cancelled Modify changes nothing";
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(L"5061", rows[1][3]);
}

TEST_F(RegEntry, ModifyCarriesFlagAndExtraAndAClearedPasswordBlanksItsCell) {
    Records() = {Reg(L"alice", L"a1", L"10.0.0.1", L"5060", L"ims.a", 7, L"keep-me"),
                 Reg(L"bob", L"b2", L"10.0.0.2", L"5061", L"ims.b")};
    Modify(0, [](HWND hEntry) {
        Fill(hEntry, L" carol ", L"", L"10.0.0.3", L"5070", L"ims.c ");
        EXPECT_TRUE(Click(hEntry, IDOK));
    });
    ASSERT_EQ(2u, Records().size());
    EXPECT_TRUE(SameRecord(Reg(L"carol", L"", L"10.0.0.3", L"5070", L"ims.c ", 7, L"keep-me"),
                           Records()[0]))
        << Describe(Records()[0]);
    EXPECT_TRUE(SameRecord(Reg(L"bob", L"b2", L"10.0.0.2", L"5061", L"ims.b"), Records()[1]));
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((Cells{L"carol", L"", L"10.0.0.3", L"5070", L"ims.c "}), rows[0]);
    EXPECT_EQ((Cells{L"bob", L"******", L"10.0.0.2", L"5061", L"ims.b"}), rows[1]);
}

TEST_F(RegEntry, ADoubleClickOnARowOpensItForModify) {
    Records() = {Reg(L"alice", L"a1", L"10.0.0.1", L"5060"),
                 Reg(L"bob", L"b2", L"10.0.0.2", L"5061", L"", 4, L"x")};
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        HWND hList = List(hDlg);
        SelectRow(hList, 1);
        OnEntry([](HWND hEntry) {
            EXPECT_EQ(L"bob", Text(hEntry, IDC_REGUSERSINFO_ACCOUNT));
            SetText(hEntry, IDC_REGUSERSINFO_PASSWORD, L"new");
            EXPECT_TRUE(Click(hEntry, IDOK));
        });
        DoubleClickRow(hList, 1);
        EXPECT_EQ(0, DialogDriver::Pending()) << "the double click opened the entry dialog";
        EXPECT_EQ(L"******", Cell(hList, 1, 1));
        PressEnter(hDlg);
    });
    ASSERT_EQ(2u, Records().size());
    EXPECT_TRUE(SameRecord(Reg(L"bob", L"new", L"10.0.0.2", L"5061", L"", 4, L"x"), Records()[1]))
        << Describe(Records()[1]);
}

TEST_F(RegEntry, ModifyWithoutASelectionOpensNothing) {
    Records() = {Reg(L"alice", L"a1", L"10.0.0.1", L"5060")};
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        size_t opened = DialogDriver::Opened().size();
        Command(hDlg, IDC_REGUSERS_BTN_MODIFY);
        EXPECT_EQ(opened, DialogDriver::Opened().size());
        PressEnter(hDlg);
    });
}

TEST_F(RegEntry, DuplicateTestComparesTheTripleExactlyAndSkipsOneRow) {
    Records() = {Reg(L"alice", L"a", L"10.0.0.1", L"5060", L"d1"),
                 Reg(L"bob", L"b", L"10.0.0.2", L"5061", L"d2"), Reg(L"", L"", L"", L"")};
    RunList([&](CRegUsersDlg& dlg, HWND hDlg) {
        RegInfo bob = Reg(L"bob", L"other", L"10.0.0.2", L"5061", L"other", 5, L"e");
        EXPECT_EQ(1, dlg.IsAccountExist(bob, -1)) << "password, domain, flag, extra take no part";
        EXPECT_EQ(1, dlg.IsAccountExist(bob, -7)) << "any negative index skips nothing";
        EXPECT_EQ(1, dlg.IsAccountExist(bob, 0));
        EXPECT_EQ(0, dlg.IsAccountExist(bob, 1)) << "its own row is skipped";
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"BOB", L"", L"10.0.0.2", L"5061"), -1));
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"bob ", L"", L"10.0.0.2", L"5061"), -1))
            << "no trimming here";
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"bob", L"", L"10.0.0.2", L"5062"), -1));
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"bob", L"", L"10.0.0.1", L"5061"), -1));
        // An empty field is never a duplicate, not even of an empty record.
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"", L"", L"", L""), -1));
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"alice", L"", L"", L"5060"), -1));
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"alice", L"", L"10.0.0.1", L""), -1));
        PressEnter(hDlg);
    });
}

TEST_F(RegEntry, DuplicateTestWithoutAListFindsNothing) {
    siblings.login.regUsersNull = true;
    RunList([&](CRegUsersDlg& dlg, HWND hDlg) {
        EXPECT_EQ(0, dlg.IsAccountExist(Reg(L"alice", L"", L"10.0.0.1", L"5060"), -1));
        PressEnter(hDlg);
    });
}

} // namespace
} // namespace regtest
