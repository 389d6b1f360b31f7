#include "webpfile.h"

#include <QFile>
#include <QtEndian>

namespace WebpFile {

State check(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return State::missing;
    const QByteArray header = file.read(12);
    if (header.size() < 12 || !header.startsWith("RIFF") || header.mid(8, 4) != "WEBP")
        return State::invalid;
    const quint32 riffLength = qFromLittleEndian<quint32>(header.constData() + 4);
    return qint64(riffLength) + 8 == file.size() ? State::valid : State::invalid;
}

} // namespace WebpFile
