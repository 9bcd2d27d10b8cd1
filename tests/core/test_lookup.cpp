// Sibling lookups and language texts, linked directly from the plug-in's
// code: every use asks the host framework anew.
#include "Fakes.h"
#include "Lookup.h"

#include <gtest/gtest.h>

namespace {

TEST(Lookup, SiblingsAreLookedUpAnewAtEveryUse) {
    Siblings s;
    EXPECT_EQ(nullptr, GetUIMain());
    EXPECT_EQ(nullptr, GetUIPSETTING());
    int before = UIGetQueryCount(IID_IUIMain, 1);

    s.RegisterAll();
    EXPECT_EQ(&s.main, GetUIMain()) << "registered after the first lookup, found by the next";
    EXPECT_EQ(&s.settings, GetUIPSETTING());
    EXPECT_EQ(&s.login, GetUIPLOGIN());
    EXPECT_EQ(&s.callRecord, GetUIPCALLRECORD());
    EXPECT_EQ(&s.phoneBook, GetUIPPHONEBOOK());
    EXPECT_EQ(before + 1, UIGetQueryCount(IID_IUIMain, 1)) << "siblings are asked with flag 1";

    s.Remove(&s.main);
    EXPECT_EQ(nullptr, GetUIMain());
    s.UnregisterAll();
}

TEST(Lookup, ASiblingOfTheWrongTypeIsNotTaken) {
    Siblings s;
    // Something registered under the main window's GUID that is not one.
    UIRegisterComponent(IID_IUIMain, &s.settings);
    EXPECT_EQ(nullptr, GetUIMain());
    s.UnregisterAll();
}

TEST(Lookup, LanguageTextsComeFromTheServiceAskedWithFlagZero) {
    Siblings s;
    EXPECT_TRUE(GetLangText(L"Login", L"IDS_LOG_PHONE").IsEmpty()) << "no service: empty text";
    s.RegisterAll();
    s.lang.texts[{L"Login", L"IDS_LOG_PHONE"}] = L"Missed calls";
    int before = UIGetQueryCount(IID_IKITELang, 0);
    EXPECT_EQ(CString(L"Missed calls"), GetLangText(L"Login", L"IDS_LOG_PHONE"));
    EXPECT_EQ(CString(L"Kite:IDS_UC_NOT_LOG"), GetLangText(L"Kite", L"IDS_UC_NOT_LOG"));
    EXPECT_EQ(before + 2, UIGetQueryCount(IID_IKITELang, 0));
    ASSERT_EQ(2u, s.lang.asked.size());
    EXPECT_EQ(L"Login", s.lang.asked[0].first);
    EXPECT_EQ(L"IDS_LOG_PHONE", s.lang.asked[0].second);
    s.UnregisterAll();
}

} // namespace
