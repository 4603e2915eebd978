// The log file "Log.txt" and the failure report. The file is opened and closed around every
// message, so it is complete on disk after each line.
#ifndef VANTOREL_SHELL_LOG_H
#define VANTOREL_SHELL_LOG_H

#include <windows.h>

// Called first at start-up: empties "Log.txt" (creating it), or shows a box if it can't.
void ClearLog();

// Appends text and then a line feed (endLine non-zero) or a single space.
void WriteLog(const char* text, int endLine);

// A modal message box, then, once it is closed, logText as one log line.
void ReportFailure(HWND owner, const char* boxText, const char* caption, UINT style,
                   const char* logText);

#endif
