#include "failuretext.h"

#include <array>
#include <utility>

FailureText::FailureText(QObject *parent)
    : QObject(parent)
{}

QString FailureText::describe(const QString &message, const QString &detail)
{
    const QString reason = sentence(detail);
    return reason.isEmpty() ? message : message + QStringLiteral(": ") + reason;
}

QString FailureText::sentence(const QString &detail)
{
    // Words the decoders and the system use, and what they mean to the user.
    static const std::array<std::pair<const char *, const char *>, 10> known{{
        {"premature end", "The file ends early (truncated)."},
        {"unexpected end", "The file ends early (truncated)."},
        {"truncated", "The file ends early (truncated)."},
        {"bad seek", "The file ends early (truncated)."},
        {"cut short", "The file ends early (truncated)."},
        {"no such file", "The file is no longer there."},
        {"permission denied", "The file may not be read (no permission)."},
        {"is a directory", "This is a folder, not a file."},
        {"no space left", "The disk is full."},
        {"read-only file system", "The disk can only be read."},
    }};
    const QString text = detail.trimmed();
    if (text.isEmpty())
        return {};
    for (const auto &[words, meaning] : known) {
        if (text.contains(QLatin1String(words), Qt::CaseInsensitive))
            return QString::fromUtf8(meaning);
    }
    // The first line, as a sentence.
    QString first = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    first[0] = first.at(0).toUpper();
    if (!first.endsWith(QLatin1Char('.')))
        first += QLatin1Char('.');
    return first;
}
