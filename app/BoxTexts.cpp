#include "app/BoxTexts.h"

#include "app/Messages.h"

#include "platform/Errors.h"
#include "platform/ExecutablePath.h"

namespace tarvik {

std::string ApplicationTitleFor(const std::string& executableFileName) {
    std::string title = executableFileName.substr(0, executableFileName.find('.'));
    for (size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
    }
    return title;
}

const std::string& ApplicationTitle() {
    static const std::string title = ApplicationTitleFor(ExecutableFileName());
    return title;
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
    return message;
}

std::string ErrorMessageOf(const std::exception& error) {
    if (const auto* ours = dynamic_cast<const Exception*>(&error)) return ours->Message();
    return error.what();
}

std::string CaughtErrorMessage() {
    try {
        throw;
    } catch (const std::exception& error) {
        return ErrorMessageOf(error);
    } catch (...) {
        return app_messages::kUnknownError;
    }
}

}  // namespace tarvik
