// The scripted tour of the login panel: the client is started on its own
// data, and one step after another brings the panel into each of its
// states (logged out, soft keyboard, advanced drawer, server address,
// wrong password, unknown account, unreachable server, logging in, logged
// in with missed calls,
// record and call pages, lock dialog, Chinese and English, logout,
// multi-user registration list and entry), waits until the real windows
// show that state, takes a picture, and moves on. Modal boxes and
// dialogs are answered by the tour once their picture is taken, so nothing
// waits for a person.
#pragma once

#include "Screenshot.h"

#include <functional>
#include <string>
#include <vector>

namespace kite {

class KiteClient;

struct TourOptions {
    // Where the pictures, the trace log, the SIP log and the summary go
    // (created).
    std::wstring outDir;
    // The client's data folder for the tour, emptied at the start.
    std::wstring dataDir = L"tour-data";
    // The registrar the tour logs in at: "host:port,host:port" (main and
    // backup address). The tour's other servers are ports of this machine
    // where nobody listens.
    std::wstring registrar;
    // Progress lines; may be null.
    void (*print)(const std::wstring& text) = nullptr;
    // Called while each step's state is on the screen, before it is left.
    std::function<void(const std::wstring& step, KiteClient& client, const Picture& picture)>
        onStep;
    // How long a step may take to reach its state.
    unsigned stepTimeoutMs = 8000;
    bool writePictures = true;
};

struct TourStepResult {
    std::wstring name;
    std::wstring caption;
    std::wstring picture; // file written, empty when none
    bool reached = false; // the state was seen on the screen
    bool left = false;    // the step's box or dialog was closed again
};

struct TourReport {
    std::vector<TourStepResult> steps;
    // (language, section:key) asked for and missing in the language file.
    std::vector<std::wstring> missingTexts;
    // Every (section, key) the plug-in and the client asked the language
    // service for during the tour.
    std::vector<std::pair<std::wstring, std::wstring>> askedTexts;
    // The plug-in's information record, as text.
    std::wstring pluginInfo;
    bool started = false;
    std::wstring error;
    int Failed() const;
};

// Runs the whole tour; returns the number of steps that failed, one more
// when a text was missing from a language file, or -1 when the client could
// not start.
int RunTour(const TourOptions& options, TourReport* report = nullptr);

} // namespace kite
