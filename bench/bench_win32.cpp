// Figures of the program in process under Wine: repaints per hover, idle
// wake-ups, owned objects after many swaps and ticks, one history record.
// Start-up, memory, size and repaint times are bench_lean's (tools/bench).
//   bench_win32
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/lookup_bench.h"
#include "bench/forms_bench.h"
#include "host/app.h"
#include "host/handles.h"
#include "host/text_file.h"
#include "host/text_services.h"
#include "lookup/history_rules.h"
#include "mainwindow/frmmain.h"
#include "notice/frmok.h"
#include "tray/frmmenu.h"

int main() {
    Frmmain::PrepareHost();

    LookupBench();

    Frmmain& f = Frmmain::Instance();
    f.Show();
    Pump();
    MoveOver(f.Imgbody, 5, 250);
    Pump();

    // Quiet: moves to and fro over one button, and moves within it.
    long inv0 = host::App::Stats().invalidations, paints0 = host::App::Stats().paints;
    for (int i = 0; i < 1000; ++i) {
        if (i % 2) MoveOver(f.Imgbody, 5, 250);
        else MoveOver(f.Imgok0, 3 + i % 20, 5);
        Pump();
    }
    long toAndFro = host::App::Stats().invalidations - inv0;
    long paints = host::App::Stats().paints - paints0;
    inv0 = host::App::Stats().invalidations;
    long ticks0 = host::App::Stats().timerTicks;
    for (int i = 0; i < 1000; ++i) {
        MoveOver(f.Imgok0, 2 + i % 60, 3 + i % 10);
        Pump();
    }
    // A clock tick that falls into the loop repaints the clock line.
    long within = host::App::Stats().invalidations - inv0 -
                  (host::App::Stats().timerTicks - ticks0);
    std::printf("repaints: 1000 moves to and fro over the query button %ld requests, %ld "
                "paints; 1000 moves within it %ld (clock ticks left out)\n", toAndFro, paints, within);

    // Idle: wake-ups in 5 s without input, shown (the focused edit box's
    // caret blinks) and hidden as in the tray (only the clock).
    auto idle = [&](const char* what) {
        long tick0 = host::App::Stats().timerTicks;
        int wakes = 0;
        double t0 = Now();
        for (double left = 5000; left > 0; left = 5000 - (Now() - t0)) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left),
                                          QS_ALLINPUT) == WAIT_OBJECT_0)
                ++wakes;
            Pump();
        }
        std::printf("idle %s: %.1f wake-ups a second, %.1f clock ticks a second\n", what,
                    wakes / 5.0, (host::App::Stats().timerTicks - tick0) / 5.0);
    };
    MoveOver(f.Imgbody, 5, 250);
    Pump();
    idle("shown, focus in the number box");
    f.SetVisible(false);
    Pump();
    idle("hidden");
    f.SetVisible(true);
    Pump();

    // Leaks: hover swaps and clock ticks against the host's object count.
    MoveOver(f.Imgok0, 3, 3);
    MoveOver(f.Imgend0, 3, 3);
    long objects = host::OwnedObjectCount();
    for (int i = 0; i < 10000; ++i) MoveOver(i % 2 ? f.Imgok0 : f.Imgend0, 3, 3);
    for (int i = 0; i < 3600; ++i) f.Timer1_Timer();
    Pump();
    std::printf("owned GDI objects: %ld before, %ld after 10000 hover swaps and 3600 ticks\n",
                objects, host::OwnedObjectCount());

    // History: one record appended (open, write, close), 10,000 times.
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring path = std::wstring(tmp) + L"qf-bench-history.txt";
    DeleteFileW(path.c_str());
    std::vector<double> costs;
    for (int i = 0; i < 10000; ++i) {
        std::string rec = host::ToAnsi(lookup::HistoryRecord(i, i % 2 ? L"65251234" : L"5508"));
        double a = Now();
        host::AppendFile file(path);
        file.Write(rec);
        file.Close();
        costs.push_back(Now() - a);
    }
    DeleteFileW(path.c_str());
    std::sort(costs.begin(), costs.end());
    std::printf("history append: median %.3f ms, 99th percentile %.3f ms over 10000 records\n",
                costs[costs.size() / 2], costs[costs.size() * 99 / 100]);

    frmok::Unload();
    frmMenu::Unload();
    Frmmain::Unload();
    Pump();
    return 0;
}
