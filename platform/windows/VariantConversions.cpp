// The system's locale-aware conversions, with the user's default locale and no flags.

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "platform/Conversions.h"

namespace tarvik {
namespace {

// The text in the system's 8-bit code page, widened as the conversions want it. Like every
// caller that hands the system a zero-terminated text, it ends at the first zero byte.
std::vector<WCHAR> Widen(const std::string& text) {
    const int length = static_cast<int>(text.size());
    const int wide = length ? ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0) : 0;
    std::vector<WCHAR> out(static_cast<size_t>(wide) + 1, 0);
    if (wide) ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, out.data(), wide);
    return out;
}

TVariantResult FromHResult(HRESULT hr) {
    if (SUCCEEDED(hr)) return TVariantResult::Ok;
    if (hr == DISP_E_OVERFLOW) return TVariantResult::Overflow;
    return TVariantResult::TypeMismatch;
}

}  // namespace

TVariantResult VarI4FromStr(const std::string& text, int32_t& value) {
    std::vector<WCHAR> wide = Widen(text);
    LONG result = 0;
    const TVariantResult outcome = FromHResult(::VarI4FromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &result));
    if (outcome == TVariantResult::Ok) value = static_cast<int32_t>(result);
    return outcome;
}

TVariantResult VarBoolFromStr(const std::string& text, bool& value) {
    std::vector<WCHAR> wide = Widen(text);
    VARIANT_BOOL result = VARIANT_FALSE;
    const TVariantResult outcome = FromHResult(::VarBoolFromStr(wide.data(), LOCALE_USER_DEFAULT, 0, &result));
    if (outcome == TVariantResult::Ok) value = result != VARIANT_FALSE;
    return outcome;
}

}  // namespace tarvik
