#pragma once

#include "conversionstatus.h"

#include <QByteArray>
#include <QString>
#include <QUuid>

/// One input file of the list: its identity, the file system's own bytes of its path, where its
/// conversion stands and whether the next run converts it. A plain value kept by the list model.
struct FileItem
{
    QUuid id;
    /// Never decoded and re-encoded on its way to the decoder, so names that are not UTF-8 work.
    QByteArray path;
    /// Where it was found below an added folder: that folder's name and the path below it
    /// ("trip/day 1"), the file system's own bytes; empty for a file added on its own.
    QByteArray subfolder;
    ConversionStatus status = ConversionStatus::queued();
    bool isSelected = true;
    /// Bytes of the input as its last conversion read it; -1 until then.
    qint64 inputSize = -1;

    /// A new, selected, waiting item with a fresh id.
    [[nodiscard]] static FileItem make(const QByteArray &path, const QByteArray &subfolder = {});
    /// The last path component, decoded for display.
    [[nodiscard]] QString fileName() const;
    /// The whole path, decoded for display.
    [[nodiscard]] QString displayPath() const;
};
