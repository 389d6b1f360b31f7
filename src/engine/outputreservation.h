#pragma once

#include <QString>

/// Claims the output name for one input in the output folder: folder/base.webp, else the first
/// free base_1.webp, base_2.webp, … An empty file is created exclusively under that name before
/// the encoder runs, so two conversions (in this process or another) can never pick the same
/// name and nothing that exists, a dangling link included, is ever overwritten. The file is
/// removed again when this object goes, unless `keep` was called.
class OutputReservation
{
public:
    OutputReservation(const QString &folder, const QString &inputFileName);
    ~OutputReservation();
    OutputReservation(const OutputReservation &) = delete;
    OutputReservation &operator=(const OutputReservation &) = delete;

    /// False when no name could be claimed (the folder is missing or not writable).
    [[nodiscard]] bool isValid() const { return !m_path.isEmpty(); }
    /// The absolute path of the claimed file.
    [[nodiscard]] const QString &path() const { return m_path; }
    /// Leaves the file in place for good.
    void keep() { m_kept = true; }

    /// The input name without its last extension ("holiday.beach.png" gives "holiday.beach").
    [[nodiscard]] static QString baseName(const QString &inputFileName);
    /// The file name for attempt `n` (0: no suffix), kept within the file system's 255 bytes.
    [[nodiscard]] static QString candidateName(const QString &base, qint64 n);

private:
    QString m_path;
    bool m_kept = false;
};
