// Sibling lookups and language texts, linked directly from the plug-in's
// code: every use asks the host framework anew, siblings with flag 1, the
// language service with flag 0.
#include "Fakes.h"
#include "core/Lookup.h"

#include <gtest/gtest.h>

TEST(Lookup, SiblingsAndLanguageTextsAreLookedUpAnewAtEveryUse) {
    Siblings s;
    EXPECT_EQ(nullptr, GetUIMain());
    EXPECT_TRUE(GetLangText(L"Login", L"IDS_LOG_PHONE").IsEmpty()) << "no service: empty text";
    const int mainBefore = UIGetQueryCount(IID_IUIMain, 1);
    const int langBefore = UIGetQueryCount(IID_IKITELang, 0);
    s.RegisterAll();
    EXPECT_EQ(&s.main, GetUIMain()) << "registered after the first lookup, found by the next";
    EXPECT_EQ(&s.settings, GetUIPSETTING());
    EXPECT_EQ(&s.login, GetUIPLOGIN());
    EXPECT_EQ(&s.callRecord, GetUIPCALLRECORD());
    EXPECT_EQ(&s.phoneBook, GetUIPPHONEBOOK());
    EXPECT_EQ(mainBefore + 1, UIGetQueryCount(IID_IUIMain, 1));
    s.lang.texts[{L"Login", L"IDS_LOG_PHONE"}] = L"Missed calls";
    EXPECT_EQ(CString(L"Missed calls"), GetLangText(L"Login", L"IDS_LOG_PHONE"));
    EXPECT_EQ(langBefore + 1, UIGetQueryCount(IID_IKITELang, 0));
    ASSERT_EQ(1u, s.lang.asked.size());
    EXPECT_EQ(L"Login", s.lang.asked[0].first);
    EXPECT_EQ(L"IDS_LOG_PHONE", s.lang.asked[0].second);
    s.Remove(&s.main);
    EXPECT_EQ(nullptr, GetUIMain());
    // Something under the main window's GUID that is not one is not taken.
    UIRegisterComponent(IID_IUIMain, &s.settings);
    EXPECT_EQ(nullptr, GetUIMain());
    s.UnregisterAll();
}
