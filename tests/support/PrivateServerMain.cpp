// The killed-server scene (KilledServerScene.h) for the scripts:
//
//   tarvik_private_server [--tls]
//
// Starts a private server and prints its address (host; port 3306, root with the test server's
// password) on the first line; with --tls the server speaks TLS (TlsServer.h), and a second
// line gives the CA that signed its certificate and a CA that did not, separated by a blank.
// Then reads commands from standard input, one a line, and answers each with one line, "ok" or
// "error: " and the reason:
//
//   shop NAME PRODUCTS           makes the scene's database NAME, with products 1 to PRODUCTS
//   account NAME USER PASSWORD   makes the branch database NAME with products 1 to 3 and the
//                                account USER with only what a run needs
//   kill                         SIGKILL, as in a crash
//   start                        starts the server again on its data
//
// At the end of its input the server is killed and its data goes.
#include "tests/support/KilledServerScene.h"
#include "tests/support/TlsServer.h"

#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
    try {
        const bool tls = argc > 1 && std::string(argv[1]) == "--tls";
        std::unique_ptr<tarvik::test::TTlsServer> tlsServer;
        std::unique_ptr<tarvik::test::TPrivateServer> plainServer;
        if (tls) tlsServer = std::make_unique<tarvik::test::TTlsServer>();
        else plainServer = std::make_unique<tarvik::test::TPrivateServer>();
        tarvik::test::TPrivateServer& server = tls ? tlsServer->Server() : *plainServer;
        std::cout << server.Address().host << std::endl;
        if (tls) std::cout << tlsServer->CaFile() << ' ' << tlsServer->OtherCaFile() << std::endl;
        for (std::string line; std::getline(std::cin, line);) {
            std::istringstream words(line);
            std::string command, name, user, password;
            int products = 0;
            words >> command;
            try {
                if (command == "shop" && words >> name >> products)
                    tarvik::test::MakeKilledServerShop(server, name, products);
                else if (command == "account" && words >> name >> user >> password)
                    tarvik::test::MakeRunAccount(server, name, user, password);
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
