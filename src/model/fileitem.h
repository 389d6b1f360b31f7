#pragma once

#include "conversionstatus.h"

#include <QObject>
#include <QUrl>
#include <QUuid>

/// One input file of the list: its location, its conversion status and whether the next run
/// converts it. Every assignment to `status` or `isSelected` notifies, changed or not.
class FileItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id CONSTANT)
    Q_PROPERTY(QUrl url READ url CONSTANT)
    Q_PROPERTY(QString fileName READ fileName CONSTANT)
    Q_PROPERTY(bool isSelected READ isSelected WRITE setSelected NOTIFY isSelectedChanged)
    Q_PROPERTY(ConversionStatus::Kind statusKind READ statusKind NOTIFY statusChanged)
    Q_PROPERTY(QString statusName READ statusName NOTIFY statusChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusChanged)

public:
    /// The one list that holds the item. Told directly rather than through a signal connection:
    /// a connection per item made adding 100,000 files keep the GUI thread busy for a quarter
    /// of a second.
    class Observer
    {
    public:
        virtual void statusAssigned(FileItem *item, ConversionStatus::Kind previous) = 0;
        virtual void selectionAssigned(FileItem *item, bool previous) = 0;

    protected:
        ~Observer() = default;
    };

    explicit FileItem(const QUrl &url, QObject *parent = nullptr);

    void setObserver(Observer *observer) { m_observer = observer; }

    [[nodiscard]] QUuid id() const { return m_id; }
    [[nodiscard]] QUrl url() const { return m_url; }
    [[nodiscard]] QString fileName() const { return m_fileName; }

    [[nodiscard]] const ConversionStatus &status() const { return m_status; }
    void setStatus(const ConversionStatus &status);
    [[nodiscard]] ConversionStatus::Kind statusKind() const { return m_status.kind(); }
    /// The status kind's name: "done", "error", "queued", "converting" or "cancelled".
    [[nodiscard]] QString statusName() const;
    [[nodiscard]] QString statusText() const { return m_status.statusText(); }

    [[nodiscard]] bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

Q_SIGNALS:
    /// After every assignment of `status`; `previous` is the kind it had before.
    void statusChanged(ConversionStatus::Kind previous);
    /// After every assignment of `isSelected`; `previous` is the value it had before.
    void isSelectedChanged(bool previous);

private:
    const QUuid m_id;
    const QUrl m_url;
    const QString m_fileName;
    ConversionStatus m_status = ConversionStatus::queued();
    bool m_selected = true;
    Observer *m_observer = nullptr;
};
