#include "platform/SystemLog.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace tarvik {

void WriteSystemLog(TLogSeverity severity, const std::string& text) {
    const HANDLE source = ::RegisterEventSourceW(nullptr, L"Tarvik");
    if (!source) return;
    const std::wstring wide = system::WidePath(text);
    const wchar_t* strings[] = {wide.c_str()};
    const WORD type = severity == TLogSeverity::Error     ? EVENTLOG_ERROR_TYPE
                      : severity == TLogSeverity::Warning ? EVENTLOG_WARNING_TYPE
                                                          : EVENTLOG_INFORMATION_TYPE;
    ::ReportEventW(source, type, 0, 1, nullptr, 1, 0, strings, nullptr);
    ::DeregisterEventSource(source);
}

}  // namespace tarvik
