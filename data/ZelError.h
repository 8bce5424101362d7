#pragma once

#include <QString>
#include <stdexcept>

namespace zel {

// An error that ends the command where it happens. The window shows its text
// in an error message box; zeltool prints it on stderr.
class ZelError : public std::runtime_error {
public:
    explicit ZelError(const QString& text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const noexcept { return m_text; }

private:
    QString m_text;
};

// Reading past the end of an in-memory stream (raw dump, decoded data stream).
class StreamReadError : public ZelError {
public:
    StreamReadError() : ZelError(QStringLiteral("Stream read error")) {}
};

// The text of an error as the user sees it: a full stop is added when the last
// character sorts after "." in character order ("Stream read error" becomes
// "Stream read error."; a text ending in ".", "!" or ")" stays as it is).
QString withFullStop(const QString& text);

} // namespace zel
