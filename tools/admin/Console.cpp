#include "tools/admin/Console.h"

#include <iostream>

#include "platform/Terminal.h"

namespace tarvik::admin {

bool ReadLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

TConsole ProcessConsole() {
    TConsole console{std::cin, std::cout, std::cerr, false, false, {}};
    console.inIsTerminal = StandardInputIsTerminal();
    console.errIsTerminal = StandardErrorIsTerminal();
    if (console.inIsTerminal) {
        console.readSecret = [](const std::string& prompt, std::string& secret) {
            return ReadSecretFromTerminal(std::cerr, prompt, secret);
        };
    } else {
        console.readSecret = [](const std::string&, std::string& secret) { return ReadLine(std::cin, secret); };
    }
    return console;
}

}  // namespace tarvik::admin
