#pragma once

#include "filelistmodel.h"
#include "imageconverter.h"

#include <QtQml/qqml.h>

// QML registrations of the engine's types, kept here so that the engine stays free of QML.

struct ImageConverterForeign
{
    Q_GADGET
    QML_FOREIGN(ImageConverter)
    QML_NAMED_ELEMENT(ImageConverter)
};

struct FileListModelForeign
{
    Q_GADGET
    QML_FOREIGN(FileListModel)
    QML_NAMED_ELEMENT(FileListModel)
    QML_UNCREATABLE("The file list belongs to its converter")
};
