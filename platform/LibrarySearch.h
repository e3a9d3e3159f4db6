#pragma once
// Where code may be loaded from at run time. One implementation per system
// (linux/LibrarySearch.cpp, windows/LibrarySearch.cpp).
//
// The client library loads an authentication method it does not hold by the method's name,
// which the server chooses (and anything that answers on the server's address: the main link
// has no TLS). On Windows a bare DLL name is searched for in the current folder too, and the
// window is often started in a folder that every user can write.

#include <string>

namespace tarvik {

// On Windows: DLLs loaded on demand come only from the program's folder and System32, never
// from the current folder or PATH. Called first thing in each program's entry, before anything
// can load a library. Nothing to do on Linux, where a bare name never means the current
// directory.
void RestrictLibrarySearch();

// The folder the client library takes its plugins from: on Windows the program's own folder
// (which only administrators can write once installed), without a trailing separator; on
// Linux the empty text, which leaves the system's plugin folder.
std::string ClientPluginFolder();

}  // namespace tarvik
