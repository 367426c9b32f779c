// Measures programs from outside, in turn (ABAB...): the time from process creation until its
// window is visible and the process idle, and its peak working set; then prints medians,
// minimum and maximum, and each program's ratio to the first one named, the reference.
//   startup_probe RUNS WORKING_FOLDER REFERENCE.exe PROGRAM.exe...
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
    double startupMs;
    double peakWorkingSetKiB;
};

struct FindWindowOf {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM param) {
    auto* find = reinterpret_cast<FindWindowOf*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == find->processId && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool Measure(const std::wstring& program, const std::wstring& folder, Sample& sample) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
        return false;
    }
    FindWindowOf find{info.dwProcessId, nullptr};
    for (int tries = 0; tries < 20000 && !find.found; ++tries) {
        WaitForInputIdle(info.hProcess, 10000);
        EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&find));
        if (!find.found) Sleep(1);
    }
    WaitForInputIdle(info.hProcess, 10000);
    QueryPerformanceCounter(&end);
    Sleep(200);  // let it settle before its memory is read

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters));
    sample = Sample{Milliseconds(start, end), static_cast<double>(counters.PeakWorkingSetSize) / 1024.0};

    if (find.found) PostMessageW(find.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return find.found != nullptr;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double FileKiB(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<double>(data.nFileSizeLow) / 1024.0;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::printf("usage: startup_probe RUNS WORKING_FOLDER REFERENCE.exe PROGRAM.exe...\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    const std::wstring folder = argv[2];
    std::vector<std::wstring> programs(argv + 3, argv + argc);
    std::vector<std::vector<Sample>> samples(programs.size());

    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            Sample sample{};
            if (!Measure(programs[p], folder, sample)) {
                std::printf("%s did not show its window\n", Narrow(programs[p]).c_str());
                return 1;
            }
            samples[p].push_back(sample);
        }
    }

    struct Summary {
        double startup, startupMin, startupMax, workingSet, workingSetMin, workingSetMax, size;
    };
    std::vector<Summary> summaries;
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> startups, sets;
        for (const Sample& s : samples[p]) {
            startups.push_back(s.startupMs);
            sets.push_back(s.peakWorkingSetKiB);
        }
        summaries.push_back({Median(startups), *std::min_element(startups.begin(), startups.end()),
                             *std::max_element(startups.begin(), startups.end()), Median(sets),
                             *std::min_element(sets.begin(), sets.end()), *std::max_element(sets.begin(), sets.end()),
                             FileKiB(programs[p])});
    }
    std::printf("%d runs each, in turn\n", runs);
    std::printf("%-28s %26s %30s %10s\n", "program", "start-up ms: median (range)", "peak working set KiB: median",
                "file KiB");
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const Summary& s = summaries[p];
        std::wstring name = programs[p].substr(programs[p].find_last_of(L'\\') + 1);
        std::printf("%-28s %9.1f (%6.1f..%6.1f) %12.0f (%6.0f..%6.0f) %10.1f\n", Narrow(name).c_str(), s.startup,
                    s.startupMin, s.startupMax, s.workingSet, s.workingSetMin, s.workingSetMax, s.size);
    }
    for (std::size_t p = 1; p < programs.size(); ++p) {
        const Summary& s = summaries[p];
        const Summary& r = summaries[0];
        const double startupRatio = s.startup / r.startup;
        const double workingSetRatio = r.workingSet > 0 ? s.workingSet / r.workingSet : 0.0;
        std::printf("ratio to the reference: start-up %.2f, peak working set %.2f, file size %.2f\n", startupRatio,
                    workingSetRatio, s.size / r.size);
        std::printf(
            "targets: start-up within 1.10 of the reference: %s; at most 256 KiB: %s; "
            "working set at most 1.5 times the reference's: %s\n",
            startupRatio <= 1.10 ? "met" : "MISSED", s.size <= 256.0 ? "met" : "MISSED",
            workingSetRatio > 0 && workingSetRatio <= 1.5 ? "met" : "MISSED");
    }
    return 0;
}
