// The log file and the failure report. Nothing stays open between messages: every call opens
// "Log.txt", does its one job and closes it, so the file is complete on disk after each line.
#include <windows.h>

#include "shell/log.h"

#include <fstream>

namespace {

const char* const LogFileName = "Log.txt";

// The log has nowhere else to say it failed, so the box is all there is; the caller goes on.
void ShowLogUnavailable() {
    MessageBoxA(nullptr, "Could not open Log File.", "Error", MB_ICONERROR);
}

} // namespace

void ClearLog() {
    std::ofstream log(LogFileName, std::ios::out | std::ios::trunc);
    if (log.fail()) {
        ShowLogUnavailable();
        return;
    }
    log.close();
}

void WriteLog(const char* text, int endLine) {
    const char separator = endLine ? '\n' : ' ';
    std::ofstream log(LogFileName, std::ios::out | std::ios::app);
    if (log.fail()) {
        ShowLogUnavailable();
        return;
    }
    // A null text is logged as an empty one rather than handed to the stream.
    if (text)
        log << text;
    log << separator;
    log.close();
}

void ReportFailure(HWND owner, const char* boxText, const char* caption, UINT style,
                   const char* logText) {
    MessageBoxA(owner, boxText, caption, style);
    WriteLog(logText, 1);
}
