#include "app/qt/Application.h"

int main(int argc, char** argv) { return tarvik::RunProgram(argc, argv); }
