#include "settings/StoreCode.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "settings/Messages.h"

namespace tarvik {

std::string FilialToLojasLeram(int32_t n) {
    static const char kSymbols[] = "@#$&+-!()={}[]<>;:";
    if (n == 1) return "*";
    // 0 and negative numbers keep the old arithmetic, reduced to one byte.
    if (n <= 9) return std::string(1, static_cast<char>(static_cast<uint8_t>(static_cast<uint32_t>(n) + 48u)));
    if (n <= 35) return std::string(1, static_cast<char>(55 + n));
    if (n <= 53) return std::string(1, kSymbols[n - 36]);
    if (n <= 79) return std::string(1, static_cast<char>(43 + n));
    throw Exception(Format(settings_messages::kNoLojasLeram, n));
}

int32_t TextToBranchNumber(const std::string& text) {
    int32_t number = 0;
    switch (VarI4FromStr(text, number)) {
        case TVariantResult::Ok:
            return number;
        case TVariantResult::Overflow:
            throw EVariantError(Format(settings_messages::kVariantOverflow, settings_messages::kVariantTypeString,
                                       settings_messages::kVariantTypeInteger));
        case TVariantResult::TypeMismatch:
            break;
    }

    if (TryStrToInt(text, number)) return number;

    bool truth = false;
    if (VarBoolFromStr(text, truth) == TVariantResult::Ok) return truth ? 1 : 0;
    // Numbers as truth values: with the integer conversion above taking every decimal form,
    // this only matters if that conversion ever accepts less.
    double asFloat = 0;
    if (TryStrToFloat(text, asFloat)) return asFloat != 0 ? 1 : 0;
    if (SameText(text, "True")) return 1;
    if (SameText(text, "False")) return 0;

    throw EVariantError(Format(settings_messages::kVariantTypeMismatch, settings_messages::kVariantTypeString,
                               settings_messages::kVariantTypeBoolean));
}

}  // namespace tarvik
