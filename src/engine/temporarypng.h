#pragma once

#include <QString>

#include <vips/vips8>

/// The PNG that hands one redrawn bitmap to the encoder. It lives in the temporary folder under
/// a fresh UUID name and is removed when this object goes, whatever happened in between.
class TemporaryPng
{
public:
    TemporaryPng();
    ~TemporaryPng();
    TemporaryPng(const TemporaryPng &) = delete;
    TemporaryPng &operator=(const TemporaryPng &) = delete;

    [[nodiscard]] const QString &path() const { return m_path; }

    /// Writes `image` with `ppi` recorded as its resolution. Returns an empty text on success,
    /// else the failure message.
    [[nodiscard]] QString write(const vips::VImage &image, qint64 ppi);

private:
    QString m_path;
};
