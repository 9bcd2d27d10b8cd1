// Base fixture of the tests that drive the real plug-in: a fresh DLL per
// test with every sibling registered, recorded message boxes and a driver
// for modal dialogs; a dialog left open fails the test.
#pragma once

#include "TestHost.h"
#include "res/resource.h"

#include <SkinMagicExU.h>
#include <gtest/gtest.h>

#include <string>

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Calls().Clear();
        MessageBoxes::Install();
        MessageBoxes::Clear();
        DialogDriver::Install();
        DialogDriver::Reset();
        ASSERT_TRUE(host.Load());
        siblings.RegisterAll();
        AddTwoServers();
    }
    void TearDown() override {
        EXPECT_FALSE(DialogDriver::WatchdogFired()) << "a dialog was left open";
        siblings.UnregisterAll();
        host.Unload();
        MessageBoxes::Clear();
        DialogDriver::Reset();
    }

    // Creates the panel in the host's main window, placed at (0, 0, 327, 400)
    // (at 96 DPI; scaled at another DPI).
    HWND CreatePanel() {
        hPanel = host.CreatePanel();
        return hPanel;
    }
    ISIGNDESK* Panel() { return host.Panel(); }

    // Two login servers, so that the advanced panel has a selection.
    void AddTwoServers() {
        ServerInfo first, second;
        first.displayName = L"Server A";
        second.displayName = L"Server B";
        siblings.settings.servers = {first, second};
    }

    PluginHost host;
    Siblings siblings;
    HWND hPanel = nullptr;
};

// The text of a unit of the panel's skinned strip; "<none>" without it.
inline std::wstring UnitText(HWND hPanel, UINT nID = IDC_LOGIN_UNIT_NOANSWER) {
    auto* pStrip = dynamic_cast<CSkinControlPannel*>(
        CWnd::FromHandlePermanent(GetDlgItem(hPanel, IDC_LOGIN_PANNEL)));
    const CSkinControlUnit* pUnit = pStrip ? pStrip->FindUnit(nID) : nullptr;
    return pUnit ? std::wstring(pUnit->m_strText.GetString()) : L"<none>";
}
