// KiteClient.exe: the reference client of the SIGNDESK login plug-in.
//
//   KiteClient.exe [--account A] [--password P] [--lang CODE] [--data DIR]
//                  [--registrar HOST:PORT[,HOST:PORT]]
//                  [--tour] [--out DIR] [--screenshot FILE]
//
// --registrar points the first login server at a registrar (main and
// backup address); the tour needs it, and builds its whole server list
// around it. Without --tour the client runs for a user. --tour runs the scripted tour
// of the panel's states and writes one picture per step, the trace log and
// a summary into the --out folder; the exit code is the number of steps
// that failed, one more when a text was missing from a language file.
#include "KiteClient.h"
#include "Screenshot.h"
#include "TextUtil.h"
#include "Tour.h"

#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

struct Args {
    kite::ClientOptions client;
    bool tour = false;
    std::wstring out = L"out";
    std::wstring screenshot;
    bool help = false;
    std::wstring error;
};

Args Parse() {
    Args a;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 < argc)
                target = argv[++i];
            else
                a.error = L"missing value after " + arg;
        };
        if (arg == L"--account")
            value(a.client.account);
        else if (arg == L"--password")
            value(a.client.password);
        else if (arg == L"--lang")
            value(a.client.language);
        else if (arg == L"--data")
            value(a.client.dataDir);
        else if (arg == L"--registrar")
            value(a.client.registrar);
        else if (arg == L"--out")
            value(a.out);
        else if (arg == L"--screenshot")
            value(a.screenshot);
        else if (arg == L"--tour")
            a.tour = true;
        else if (arg == L"--help" || arg == L"-h" || arg == L"/?")
            a.help = true;
        else
            a.error = L"unknown argument " + arg;
    }
    ::LocalFree(argv);
    return a;
}

void Print(const std::wstring& text) {
    std::string utf8 = kite::ToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

} // namespace

int wmain() {
    Args args = Parse();
    if (args.help || !args.error.empty()) {
        if (!args.error.empty())
            Print(args.error + L"\n");
        Print(L"usage: KiteClient.exe [--account A] [--password P] [--lang CODE] [--data DIR]\n"
              L"                      [--registrar HOST:PORT[,HOST:PORT]]\n"
              L"                      [--tour] [--out DIR] [--screenshot FILE]\n");
        return args.help ? 0 : 2;
    }
    if (args.tour) {
        kite::TourOptions options;
        options.outDir = kite::ResolveBesideExe(args.out);
        options.registrar = args.client.registrar;
        options.print = &Print;
        return kite::RunTour(options);
    }
    kite::KiteClient client(args.client);
    if (!client.Start()) {
        Print(L"KiteClient: " + client.Error() + L"\n");
        return 1;
    }
    if (!args.screenshot.empty()) {
        // Start, picture, end: for a first look at the panel.
        kite::Picture pic = kite::CaptureClient(client.Main().GetSafeHwnd());
        bool ok = kite::SavePicture(pic, kite::ResolveBesideExe(args.screenshot));
        Print(ok ? L"screenshot written\n" : L"screenshot failed\n");
        return ok ? 0 : 1;
    }
    return client.Run();
}
