#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

/// Where an OutputReservation names its file.
struct OutputPlacement
{
    /// A folder below the output folder, the file system's own bytes ("trip/day 1"), made at
    /// `publish` as needed; empty for the output folder itself.
    QByteArray subfolder;
    /// False: only the plain name is tried, and a taken one fails with `Failure::nameTaken`.
    bool numbered = true;
};

/// The output file of one conversion. It is made without a name in the output folder, the
/// encoder writes it through this process's descriptor, and only when it is whole and checked
/// does `publish` give it the first free name: folder/base.webp, else base_1.webp, base_2.webp,
/// … (or only base.webp, when the placement takes no number). The name can be in a sub-folder,
/// made only then, so that a file that fails leaves no folder behind. An existing entry (a
/// dangling link included) is never replaced, also when another process publishes into the same
/// folder at the same moment. Until then no file of that name exists,
/// so a crash leaves no empty or partial output under a final name.
///
/// Where the file system has no unnamed files (vfat, some network mounts), the file is made as
/// a hidden ".tessel-<random>.part", locked while it is in use, renamed without replacing on
/// `publish` and removed on every other path. One that a crashed run left behind is unlocked
/// and is removed by the next reservation into that folder once it is a minute old. Where the
/// lock cannot be taken, the reservation fails with the system's reason rather than write a
/// file that another run could remove.
class OutputReservation
{
public:
    enum class Kind
    {
        /// Unnamed where the file system allows, else a hidden part file.
        automatic,
        partFile
    };

    /// Why `publish` failed.
    enum class Failure
    {
        none,
        /// The plain name was taken and the placement is not numbered.
        nameTaken,
        /// The sub-folder could not be made or reached.
        folder,
        /// The file could not be named.
        file
    };

    /// `folder` is the file system's own bytes.
    OutputReservation(const QByteArray &folder, const QString &inputFileName,
                      Kind kind = Kind::automatic, OutputPlacement placement = {});
    ~OutputReservation();
    OutputReservation(const OutputReservation &) = delete;
    OutputReservation &operator=(const OutputReservation &) = delete;

    /// False when no file could be made; `error` says why.
    [[nodiscard]] bool isValid() const { return m_fd >= 0; }
    [[nodiscard]] const QString &error() const { return m_error; }
    [[nodiscard]] int fd() const { return m_fd; }
    /// Where the encoder writes: "/proc/<pid>/fd/<n>".
    [[nodiscard]] const QString &writePath() const { return m_writePath; }

    /// Gives the file its final name; false (with `failure` and `error` set) when that failed.
    [[nodiscard]] bool publish();
    [[nodiscard]] Failure failure() const { return m_failure; }
    /// The final path, once published.
    [[nodiscard]] const QString &path() const { return m_path; }

    /// The path of the plain output name for `inputFileName` when an entry of that name is
    /// already there (a dangling link too); none when it is free or its folder is missing.
    [[nodiscard]] static std::optional<QString>
    takenName(const QByteArray &folder, const QString &inputFileName, const QByteArray &subfolder);

    /// The input name without its last extension ("holiday.beach.png" gives "holiday.beach").
    [[nodiscard]] static QString baseName(const QString &inputFileName);
    /// The file name for attempt `n` (0: no suffix), kept within the file system's 255 bytes.
    [[nodiscard]] static QString candidateName(const QString &base, qint64 n);

private:
    bool openPartFile();
    bool publishInto(int targetFd);
    bool fail();

    QByteArray m_folder;
    QString m_base;
    OutputPlacement m_placement;
    Failure m_failure = Failure::none;
    int m_dirFd = -1;
    int m_fd = -1;
    QByteArray m_partName;
    QString m_writePath;
    QString m_path;
    QString m_error;
};
