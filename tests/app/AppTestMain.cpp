// The app tests need the application object alive for their whole run, the program's own
// (so that its event-loop error routing is what the tests see).
#include "app/qt/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    tarvik::TApplication application(qtArgc, qtArgv);
    return RUN_ALL_TESTS();
}
