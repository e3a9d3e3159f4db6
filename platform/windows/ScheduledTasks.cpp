#include "platform/ScheduledTasks.h"

#include <windows.h>
#include <aclapi.h>
#include <oleauto.h>
#include <taskschd.h>

#include <cstdio>

#include "platform/Errors.h"
#include "platform/windows/WideText.h"

namespace tarvik {
namespace {

using system::WidePath;

// A COM interface pointer released when it goes.
template <class T>
class TCom {
public:
    TCom() = default;
    ~TCom() {
        if (p_) p_->Release();
    }
    TCom(const TCom&) = delete;
    TCom& operator=(const TCom&) = delete;
    T** Out() { return &p_; }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
};

// A BSTR freed when it goes.
class TBstr {
public:
    explicit TBstr(const std::string& text) : b_(::SysAllocString(WidePath(text).c_str())) {}
    ~TBstr() { ::SysFreeString(b_); }
    TBstr(const TBstr&) = delete;
    TBstr& operator=(const TBstr&) = delete;
    BSTR Get() const { return b_; }

private:
    BSTR b_;
};

void Check(HRESULT result, const char* what) {
    if (SUCCEEDED(result)) return;
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (0x%08lX)", what, static_cast<unsigned long>(result));
    throw Exception(text);
}

// COM on this thread for as long as it lives.
class TComApartment {
public:
    TComApartment() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~TComApartment() {
        if (ok_) ::CoUninitialize();
    }

private:
    bool ok_;
};

void Connect(TCom<ITaskService>& service) {
    Check(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                             reinterpret_cast<void**>(service.Out())),
          "the Task Scheduler");
    VARIANT none;
    ::VariantInit(&none);
    Check(service->Connect(none, none, none, none), "connecting to the Task Scheduler");
}

// "\Folder\Task" split at its last backslash.
void Split(const std::string& name, std::string& folder, std::string& task) {
    const size_t slash = name.find_last_of('\\');
    folder = slash == 0 || slash == std::string::npos ? "\\" : name.substr(0, slash);
    task = slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

void RegisterScheduledTask(const std::string& name, const std::string& definition, const std::string& account) {
    const TComApartment apartment;
    TCom<ITaskService> service;
    Connect(service);
    std::string folderName, taskName;
    Split(name, folderName, taskName);
    TCom<ITaskFolder> root;
    Check(service->GetFolder(TBstr("\\").Get(), root.Out()), "opening the Task Scheduler's folders");
    TCom<ITaskFolder> folder;
    if (FAILED(service->GetFolder(TBstr(folderName).Get(), folder.Out()))) {
        VARIANT none;
        ::VariantInit(&none);
        Check(root->CreateFolder(TBstr(folderName).Get(), none, folder.Out()), "creating the task's folder");
    }
    VARIANT user, none;
    ::VariantInit(&user);
    ::VariantInit(&none);
    const TBstr accountText(account);
    if (!account.empty()) {
        user.vt = VT_BSTR;
        user.bstrVal = accountText.Get();
    }
    TCom<IRegisteredTask> task;
    Check(folder->RegisterTask(TBstr(taskName).Get(), TBstr(definition).Get(), TASK_CREATE_OR_UPDATE, user, none,
                               account.empty() ? TASK_LOGON_INTERACTIVE_TOKEN : TASK_LOGON_S4U, none, task.Out()),
          "registering the task");
}

bool RemoveScheduledTask(const std::string& name) {
    const TComApartment apartment;
    TCom<ITaskService> service;
    Connect(service);
    std::string folderName, taskName;
    Split(name, folderName, taskName);
    TCom<ITaskFolder> folder;
    if (FAILED(service->GetFolder(TBstr(folderName).Get(), folder.Out()))) return false;
    const HRESULT removed = folder->DeleteTask(TBstr(taskName).Get(), 0);
    if (removed == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) return false;
    Check(removed, "removing the task");
    return true;
}

std::string FileOwnerAccount(const std::string& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring wide = WidePath(path);
    if (::GetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return std::string();
    wchar_t name[256], domain[256];
    DWORD nameLength = 256, domainLength = 256;
    SID_NAME_USE use;
    std::string account;
    if (::LookupAccountSidW(nullptr, owner, name, &nameLength, domain, &domainLength, &use))
        account = system::PathFromWide(std::wstring(domain) + L"\\" + name);
    ::LocalFree(descriptor);
    return account;
}

}  // namespace tarvik
