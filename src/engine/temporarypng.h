#pragma once

#include <QString>

#include <vips/vips8>

/// The PNG that hands one redrawn bitmap to the encoder. It has no name in the temporary
/// folder: the encoder opens it through this process's descriptor, and the system frees it
/// when the descriptor closes, so nothing is left behind however this process ends.
class TemporaryPng
{
public:
    TemporaryPng();
    ~TemporaryPng();
    TemporaryPng(const TemporaryPng &) = delete;
    TemporaryPng &operator=(const TemporaryPng &) = delete;

    /// The path the encoder reads: "/proc/<pid>/fd/<n>".
    [[nodiscard]] const QString &path() const { return m_path; }

    /// Writes `image` with `ppi` recorded as its resolution, its pixels compressed when
    /// `compact` (one of many frames) or when they are many. Returns an empty message on
    /// success, else the failure message; `detail` then holds the reason.
    [[nodiscard]] QString write(const vips::VImage &image, qint64 ppi, QString &detail,
                                bool compact = false);

private:
    int m_fd = -1;
    QString m_path;
    QString m_openError;
};
