// A DLL that leaves a file named after itself in the current folder when it is loaded, so
// that a test can see from outside that a program loaded it. Built under the name of an
// authentication method the client library would look for (dialog.dll).
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t name[MAX_PATH];
        const DWORD n = GetModuleFileNameW(instance, name, MAX_PATH);
        const wchar_t* base = name;
        for (DWORD i = 0; i < n; ++i)
            if (name[i] == L'\\' || name[i] == L'/') base = name + i + 1;
        wchar_t marker[MAX_PATH + 16];
        lstrcpyW(marker, base);
        lstrcatW(marker, L".loaded");
        const HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return TRUE;
}
