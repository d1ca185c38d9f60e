// Texts cross between Qt and the rest of the program here, and only here: file names and messages are the
// platform's 8-bit bytes outside app/, QString inside it.
#pragma once

#include <QString>
#include <string>
#include <string_view>

inline QString ToQString(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToLocal(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// The bytes behind an edit's text: `held` while the edit still shows it, so a name that is not valid in the
// local encoding survives its trip through the window; what the user typed otherwise.
inline std::string BytesShown(const QString& shown, const std::string& held) {
    return ToQString(held) == shown ? held : ToLocal(shown);
}
