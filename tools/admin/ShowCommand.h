#pragma once
// `tarvik-admin show DIR`: every value of both settings files as the program will read it,
// and a warning for each value that reads differently from how it looks.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/admin/Console.h"

namespace CLI {
class App;
}

namespace tarvik::admin {

struct TShownValue {
    std::string section;
    std::string key;
    bool present = false;  // false: the default is used
    std::string stored;    // the text the reader gives (after trimming and unquoting), or the default
    std::string value;     // what the program makes of it (deciphered, hex-decoded, as a number)
    bool secret = false;
};

struct TShownFile {
    std::string name;
    std::string path;
    bool exists = false;
    std::vector<TShownValue> values;
};

struct TWarning {
    std::string file;
    std::string section;  // empty for the file as a whole
    std::string key;
    std::string message;  // UTF-8
};

struct TSettingsReport {
    std::vector<TShownFile> files;
    int32_t logicalBranch = 0;
    bool storeCodeFromFile = false;  // usa_fislogica is exactly "1"
    std::string effectiveBranch;     // when from the file: CodLogica as read
    std::optional<std::string> storeCode;
    std::string storeCodeError;      // UTF-8; when from the file and it has none
    std::vector<TWarning> warnings;
};

// Reads the files of the current settings directory (see TSettingsDirectory) with the
// program's own readers and rules. The passwords appear in the warnings only with `reveal`.
TSettingsReport InspectSettings(bool reveal);

struct TShowOptions {
    std::string directory;
    bool json = false;
    bool reveal = false;
};

// Declares `show` and its options on `app`; the command line's values land in `options`.
CLI::App* AddShowOptions(CLI::App& app, TShowOptions& options);

int ShowSettingsFiles(const TShowOptions& options, TConsole& console);

}  // namespace tarvik::admin
