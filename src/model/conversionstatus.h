#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>

/// Where one file stands in a conversion, with the result's payload for `done` and `error`.
class ConversionStatus
{
    Q_GADGET
public:
    enum class Kind
    {
        done,
        error,
        queued,
        converting,
        cancelled,
        /// Left alone because its output's name was taken; finished, not failed.
        skipped
    };
    Q_ENUM(Kind)

    ConversionStatus() = default;

    /// `frames` is more than 1 for an animation; `keptMetadata` names what the output carries
    /// over from the input ("exif", "xmp", "location").
    [[nodiscard]] static ConversionStatus done(const QString &outputPath, qint64 fileSize,
                                               qint64 frames = 1,
                                               const QStringList &keptMetadata = {});
    /// `detail` is the reason behind the fixed `message`: the decoder's or the encoder's own
    /// words, or the system's text for a failed write.
    [[nodiscard]] static ConversionStatus error(const QString &message, const QString &detail = {});
    [[nodiscard]] static ConversionStatus queued() { return ConversionStatus(Kind::queued); }
    [[nodiscard]] static ConversionStatus converting()
    {
        return ConversionStatus(Kind::converting);
    }
    [[nodiscard]] static ConversionStatus cancelled() { return ConversionStatus(Kind::cancelled); }
    /// `takenPath` is the existing output that made the file be skipped.
    [[nodiscard]] static ConversionStatus skipped(const QString &takenPath);

    [[nodiscard]] Kind kind() const { return m_kind; }
    /// Set for `done`, and for `skipped` as the output that was there already.
    [[nodiscard]] const QString &outputPath() const { return m_text; }
    /// Set for `done` only.
    [[nodiscard]] qint64 fileSize() const { return m_fileSize; }
    /// The number of frames written: 1 for a still (`done` only).
    [[nodiscard]] qint64 frames() const { return m_frames; }
    /// Set for `done` only.
    [[nodiscard]] const QStringList &keptMetadata() const { return m_keptMetadata; }
    /// Set for `error` only.
    [[nodiscard]] const QString &message() const { return m_text; }
    /// Set for `error` only, and empty when the failure has no reason beyond its message.
    [[nodiscard]] const QString &detail() const { return m_detail; }

    /// The short text a file row shows: "Waiting", "Converting…", "Cancelled", "Skipped · name
    /// taken", the error message, or the size as "12.3 KB" with a full stop in every locale,
    /// after the number of frames for an animation ("12 frames · 240.0 KB").
    [[nodiscard]] QString statusText() const;

    friend bool operator==(const ConversionStatus &, const ConversionStatus &) = default;

private:
    explicit ConversionStatus(Kind kind)
        : m_kind(kind)
    {}

    Kind m_kind = Kind::queued;
    QString m_text;
    QString m_detail;
    qint64 m_fileSize = 0;
    qint64 m_frames = 1;
    QStringList m_keptMetadata;
};

Q_DECLARE_METATYPE(ConversionStatus)
