#pragma once
// The system's own log, for what an unattended command did. On Linux a service's standard error
// is the journal already, so nothing more is written; on Windows an entry goes to the
// Application event log under the source "Tarvik" (windows/SystemLog.cpp).

#include <string>

namespace tarvik {

enum class TLogSeverity { Information, Warning, Error };

// Writes `text` (UTF-8) to the system's log; never raises, and does nothing where the log
// cannot be written.
void WriteSystemLog(TLogSeverity severity, const std::string& text);

}  // namespace tarvik
