#include "app/qt/Windows1252.h"

#include "platform/Text.h"

namespace tarvik {

QString FromWindows1252(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) text.append(QChar(Windows1252CodePoint(static_cast<unsigned char>(c))));
    return text;
}

}  // namespace tarvik
