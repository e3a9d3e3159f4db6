// Prints the stored form of a password for the "senha" key of sistema_qor.ini.
//
//   encipher-password < file-with-the-password
//
// The password is read from the first line of standard input (not from the command line,
// where other users of the machine could see it); a trailing CR is dropped.
#include "settings/util.h"

#include <cstdio>
#include <iostream>
#include <string>

int main() {
    std::string password;
    if (!std::getline(std::cin, password)) {
        std::fputs("encipher-password: give the password on standard input\n", stderr);
        return 2;
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    std::cout << tarvik::CipherText("E", password, "WUX") << '\n';
    return 0;
}
