// tarvik_auth_listener ADDRESS PORT METHOD [SWITCH-METHOD] SECONDS: the loopback listener of
// tests/support/AuthListener.h as a program, for tests that start the programs from outside.
// Prints "listening PORT" once it listens, serves for SECONDS, then prints how many
// connections it served and exits.

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "tests/support/AuthListener.h"

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::cerr << "usage: " << argv[0] << " ADDRESS PORT METHOD [SWITCH-METHOD] SECONDS\n";
        return 2;
    }
    try {
        tarvik::test::TAuthListener listener(argv[1], static_cast<unsigned>(std::atoi(argv[2])), argv[3],
                                             argc == 6 ? argv[4] : "");
        std::cout << "listening " << listener.Port() << std::endl;
        std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[argc - 1])));
        std::cout << "served " << listener.Served() << std::endl;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
