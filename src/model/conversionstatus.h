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
        cancelled
    };
    Q_ENUM(Kind)

    ConversionStatus() = default;

    /// `keptMetadata` names what the output carries over from the input ("exif", "xmp",
    /// "location").
    [[nodiscard]] static ConversionStatus done(const QString &outputPath, qint64 fileSize,
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

    [[nodiscard]] Kind kind() const { return m_kind; }
    /// Set for `done` only.
    [[nodiscard]] const QString &outputPath() const { return m_text; }
    /// Set for `done` only.
    [[nodiscard]] qint64 fileSize() const { return m_fileSize; }
    /// Set for `done` only.
    [[nodiscard]] const QStringList &keptMetadata() const { return m_keptMetadata; }
    /// Set for `error` only.
    [[nodiscard]] const QString &message() const { return m_text; }
    /// Set for `error` only, and empty when the failure has no reason beyond its message.
    [[nodiscard]] const QString &detail() const { return m_detail; }

    /// The short text a file row shows: "Waiting", "Converting…", "Cancelled", the error
    /// message, or the size as "12.3 KB" with a full stop in every locale.
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
    QStringList m_keptMetadata;
};

Q_DECLARE_METATYPE(ConversionStatus)
