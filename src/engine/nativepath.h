#pragma once

#include <QByteArray>
#include <QString>

/// The file system's own bytes for a path that went through QString. Qt decodes names that
/// are not valid UTF-8 into replacement characters, so such a name cannot simply be encoded
/// back; this looks up, component by component, the entry whose decoded name matches.
namespace NativePath {
[[nodiscard]] QByteArray of(const QString &path);
} // namespace NativePath
