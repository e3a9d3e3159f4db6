// The killed-server scene (KilledServerScene.h) for the scripts:
//
//   tarvik_private_server
//
// Starts a private server and prints its address (host; port 3306, root with the test server's
// password) on the first line. Then reads commands from standard input, one a line, and answers
// each with one line, "ok" or "error: " and the reason:
//
//   shop NAME PRODUCTS   makes the scene's database NAME, with products 1 to PRODUCTS
//   kill                 SIGKILL, as in a crash
//   start                starts the server again on its data
//
// At the end of its input the server is killed and its data goes.
#include "tests/support/KilledServerScene.h"

#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

int main() {
    try {
        tarvik::test::TPrivateServer server;
        std::cout << server.Address().host << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
            std::istringstream words(line);
            std::string command, name;
            int products = 0;
            words >> command;
            try {
                if (command == "shop" && words >> name >> products)
                    tarvik::test::MakeKilledServerShop(server, name, products);
                else if (command == "kill")
                    server.Kill();
                else if (command == "start")
                    server.Start();
                else
                    throw std::invalid_argument("unknown command: " + line);
                std::cout << "ok" << std::endl;
            } catch (const std::exception& e) {
                std::string reason = e.what();
                for (char& c : reason)
                    if (c == '\n') c = ' ';
                std::cout << "error: " << reason << std::endl;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "tarvik_private_server: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
