// The registration list dialog: what it shows, its buttons, deleting and
// clearing with their confirmations, how it closes, and a missing list.
#include "RegTestUtil.h"

namespace regtest {
namespace {

using Cells = std::vector<std::wstring>;

class RegList : public RegUsersTest {
protected:
    void ThreeRecords() {
        Records() = {Reg(L"alice", L"secret", L"10.0.0.1", L"5060", L"ims.a"),
                     Reg(L"bob", L"", L"10.0.0.2", L"5061", L""),
                     Reg(L"carol", L"x", L"sip.example.com", L"5070", L"ims.c", 3, L"ex")};
    }
};

TEST_F(RegList, ShowsTheRecordsInOrderWithTextsColumnsAndMaskedPasswords) {
    ThreeRecords();
    INT_PTR result = RunList([&](CRegUsersDlg&, HWND hDlg) {
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_TITLE"), Text(hDlg));
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_ADD"), Text(hDlg, IDC_REGUSERS_BTN_ADD));
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_MODIFY"), Text(hDlg, IDC_REGUSERS_BTN_MODIFY));
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_DEL"), Text(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_BTN_CLEAR"), Text(hDlg, IDC_REGUSERS_BTN_CLEAR));

        HWND hList = List(hDlg);
        ASSERT_NE(nullptr, hList);
        DWORD ex = static_cast<DWORD>(SendMessageW(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);

        std::vector<Column> cols = Columns(hList);
        ASSERT_EQ(5u, cols.size());
        const struct {
            const wchar_t* key;
            int width;
            int align;
        } expected[] = {{L"IDS_MAIN_REG_ACCOUNT", 80, LVCFMT_LEFT},
                        {L"IDS_MAIN_REG_PASSWORD", 80, LVCFMT_CENTER},
                        {L"IDS_MAIN_REG_IP", 120, LVCFMT_CENTER},
                        {L"IDS_MAIN_REG_PORT", 80, LVCFMT_CENTER},
                        {L"IDS_MAIN_REG_FIELD", 80, LVCFMT_CENTER}};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Lang(L"Kite", expected[i].key), cols[i].text) << "column " << i;
            EXPECT_EQ(expected[i].width, cols[i].width) << "column " << i;
            EXPECT_EQ(expected[i].align, cols[i].align) << "column " << i;
        }

        ASSERT_EQ(3, RowCount(hList));
        EXPECT_EQ((Cells{L"alice", L"******", L"10.0.0.1", L"5060", L"ims.a"}), Row(hList, 0));
        EXPECT_EQ((Cells{L"bob", L"", L"10.0.0.2", L"5061", L""}), Row(hList, 1));
        // One character of password still shows six asterisks.
        EXPECT_EQ((Cells{L"carol", L"******", L"sip.example.com", L"5070", L"ims.c"}),
                  Row(hList, 2));
        EXPECT_EQ(-1, SelectedRow(hList));
        PressEnter(hDlg);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, Calls().Count(L"Login.GetRegUsers"));
    EXPECT_EQ(3u, Records().size()) << "showing changes nothing";
}

TEST_F(RegList, ModifyAndDeleteFollowTheSelectionAndClearTheRowCount) {
    ThreeRecords();
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        HWND hList = List(hDlg);
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_ADD));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_MODIFY));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR));

        SelectRow(hList, 1);
        EXPECT_EQ(1, SelectedRow(hList));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_MODIFY));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_ADD));

        ClearSelection(hList);
        EXPECT_EQ(-1, SelectedRow(hList));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_MODIFY));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR));
        PressEnter(hDlg);
    });
}

TEST_F(RegList, AnEmptyListDisablesClearAndAnAddEnablesIt) {
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        EXPECT_EQ(0, RowCount(List(hDlg)));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_MODIFY));
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_ADD));

        OnEntry([](HWND hEntry) {
            Fill(hEntry, L"dave", L"pw", L"10.0.0.9", L"5060", L"ims.d");
            EXPECT_TRUE(Click(hEntry, IDOK));
        });
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_ADD));
        EXPECT_EQ(1, RowCount(List(hDlg)));
        EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR)) << "buttons follow an Add";
        EXPECT_EQ(-1, SelectedRow(List(hDlg))) << "the new row is not selected";
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_MODIFY));
        PressEnter(hDlg);
    });
    ASSERT_EQ(1u, Records().size());
    EXPECT_TRUE(SameRecord(Reg(L"dave", L"pw", L"10.0.0.9", L"5060", L"ims.d"), Records()[0]))
        << Describe(Records()[0]);
}

TEST_F(RegList, DeleteAsksAndDoesNothingOnCancel) {
    ThreeRecords();
    std::vector<RegInfo> before = Records();
    HWND hListDlg = nullptr;
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        hListDlg = hDlg;
        SelectRow(List(hDlg), 1);
        MessageBoxes::Answer(IDCANCEL);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_EQ(3, RowCount(List(hDlg)));
        EXPECT_EQ(L"bob", Cell(List(hDlg), 1, 0));
        PressEnter(hDlg);
    });
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    const MessageBoxRecord& box = MessageBoxes::Seen()[0];
    EXPECT_EQ(Lang(L"Settings", L"IDS_SPEEDDIAL_TIP_CONFIRM"), box.text);
    EXPECT_EQ(Lang(L"global", L"IDS_INFO_QUESTION"), box.caption);
    EXPECT_EQ(0x21u, box.type);
    EXPECT_FALSE(box.hasCheck);
    EXPECT_EQ(hListDlg, box.owner);
    ASSERT_EQ(3u, Records().size());
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(SameRecord(before[i], Records()[i])) << i;
}

TEST_F(RegList, DeleteOnOkRemovesTheSelectedRecordAndRow) {
    ThreeRecords();
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        HWND hList = List(hDlg);
        SelectRow(hList, 1);
        MessageBoxes::Answer(IDOK);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
        ASSERT_EQ(2, RowCount(hList));
        EXPECT_EQ(L"alice", Cell(hList, 0, 0));
        EXPECT_EQ(L"carol", Cell(hList, 1, 0));
        PressEnter(hDlg);
    });
    EXPECT_EQ(1u, MessageBoxes::Seen().size());
    ASSERT_EQ(2u, Records().size());
    EXPECT_EQ(CString(L"alice"), Records()[0].account);
    EXPECT_EQ(CString(L"carol"), Records()[1].account);
    EXPECT_EQ(3, Records()[1].flag);
}

TEST_F(RegList, DeleteWithoutASelectionAsksNothing) {
    ThreeRecords();
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        Command(hDlg, IDC_REGUSERS_BTN_DEL);
        EXPECT_EQ(3, RowCount(List(hDlg)));
        PressEnter(hDlg);
    });
    EXPECT_TRUE(MessageBoxes::Seen().empty());
    EXPECT_EQ(3u, Records().size());
}

TEST_F(RegList, ClearAsksAndDoesNothingOnCancelAndEmptiesOnOk) {
    ThreeRecords();
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        HWND hList = List(hDlg);
        MessageBoxes::Answer(IDCANCEL);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_CLEAR));
        EXPECT_EQ(3, RowCount(hList));
        EXPECT_EQ(3u, Records().size());

        MessageBoxes::Answer(IDOK);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_CLEAR));
        EXPECT_EQ(0, RowCount(hList));
        EXPECT_TRUE(Records().empty());
        EXPECT_EQ(0u, Records().capacity()) << "the storage is released";
        PressEnter(hDlg);
    });
    ASSERT_EQ(2u, MessageBoxes::Seen().size());
    for (const MessageBoxRecord& box : MessageBoxes::Seen()) {
        EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_CLEAR"), box.text);
        EXPECT_EQ(Lang(L"global", L"IDS_INFO_QUESTION"), box.caption);
        EXPECT_EQ(0x21u, box.type);
    }
}

TEST_F(RegList, ClearAsksEvenWhenTheListIsEmpty) {
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR));
        // The button is disabled; its command still reaches the dialog.
        MessageBoxes::Answer(IDOK);
        Command(hDlg, IDC_REGUSERS_BTN_CLEAR);
        EXPECT_EQ(0, RowCount(List(hDlg)));
        PressEnter(hDlg);
    });
    ASSERT_EQ(1u, MessageBoxes::Seen().size());
    EXPECT_EQ(Lang(L"Kite", L"IDS_MAIN_REG_CLEAR"), MessageBoxes::Seen()[0].text);
    EXPECT_EQ(0x21u, MessageBoxes::Seen()[0].type);
}

TEST_F(RegList, EscapeAndTheCloseBoxSaveOnceEnterNever) {
    ThreeRecords();
    EXPECT_EQ(IDCANCEL, RunList([](CRegUsersDlg&, HWND hDlg) { PressEscape(hDlg); }));
    EXPECT_EQ(1, SaveCount());

    Calls().Clear();
    EXPECT_EQ(IDCANCEL, RunList([](CRegUsersDlg&, HWND hDlg) { CloseBox(hDlg); }));
    EXPECT_EQ(1, SaveCount());

    Calls().Clear();
    EXPECT_EQ(IDOK, RunList([](CRegUsersDlg&, HWND hDlg) { PressEnter(hDlg); }));
    EXPECT_EQ(0, SaveCount());
    EXPECT_EQ(1, Calls().Count(L"Login.GetRegUsers"));
}

TEST_F(RegList, EditsReachTheSiblingAtOnceAndEnterKeepsThemUnsaved) {
    ThreeRecords();
    RunList([&](CRegUsersDlg&, HWND hDlg) {
        SelectRow(List(hDlg), 0);
        MessageBoxes::Answer(IDOK);
        EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
        EXPECT_EQ(2u, Records().size()) << "the sibling's list changes before any save";
        PressEnter(hDlg);
    });
    EXPECT_EQ(0, SaveCount());
    EXPECT_EQ(2u, Records().size());
}

// Without the login sibling, or with no list from it: nothing is shown;
// Modify, Delete and Clear do nothing; Add shows a row and keeps it nowhere.
class RegListWithoutList : public RegUsersTest {
protected:
    void RunWithoutList() {
        INT_PTR result = RunList([&](CRegUsersDlg&, HWND hDlg) {
            HWND hList = List(hDlg);
            EXPECT_EQ(0, RowCount(hList));
            EXPECT_FALSE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR));

            OnEntry([](HWND hEntry) {
                Fill(hEntry, L"erin", L"pw", L"10.0.0.5", L"5060", L"");
                EXPECT_TRUE(Click(hEntry, IDOK));
            });
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_ADD));
            ASSERT_EQ(1, RowCount(hList));
            EXPECT_EQ((Cells{L"erin", L"******", L"10.0.0.5", L"5060", L""}), Row(hList, 0));
            EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_CLEAR));

            size_t opened = DialogDriver::Opened().size();
            SelectRow(hList, 0);
            EXPECT_TRUE(Enabled(hDlg, IDC_REGUSERS_BTN_MODIFY));
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_MODIFY));
            DoubleClickRow(hList, 0);
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_DEL));
            EXPECT_TRUE(Click(hDlg, IDC_REGUSERS_BTN_CLEAR));
            EXPECT_EQ(opened, DialogDriver::Opened().size()) << "no entry dialog opens";
            EXPECT_TRUE(MessageBoxes::Seen().empty()) << "nothing is asked";
            EXPECT_EQ(1, RowCount(hList));
            EXPECT_EQ(L"erin", Cell(hList, 0, 0));
            PressEscape(hDlg);
        });
        EXPECT_EQ(IDCANCEL, result);
    }
};

TEST_F(RegListWithoutList, WithoutTheLoginSiblingNothingIsShownOrStored) {
    Records() = {Reg(L"alice", L"secret", L"10.0.0.1", L"5060")};
    siblings.Remove(&siblings.login);
    RunWithoutList();
    ASSERT_EQ(1u, Records().size()) << "the absent sibling's list is not touched";
    EXPECT_EQ(CString(L"alice"), Records()[0].account);
    EXPECT_EQ(0, Calls().Count(L"Login.")) << "the sibling is not there to be asked";
}

TEST_F(RegListWithoutList, WithANullListNothingIsShownOrStoredButEscapeStillSaves) {
    siblings.login.regUsersNull = true;
    RunWithoutList();
    EXPECT_TRUE(Records().empty()) << "the added record is kept nowhere";
    EXPECT_EQ(1, Calls().Count(L"Login.GetRegUsers"));
    EXPECT_EQ(1, SaveCount());
}

} // namespace
} // namespace regtest
