#pragma once

#include "batchrun.h"
#include "filelistmodel.h"
#include "imageconverter.h"
#include "outputfolder.h"
#include "presetlistmodel.h"
#include "settingsstore.h"

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

struct BatchRunForeign
{
    Q_GADGET
    QML_FOREIGN(BatchRun)
    QML_NAMED_ELEMENT(BatchRun)
    QML_UNCREATABLE("The run belongs to its converter")
};

struct OutputFolderForeign
{
    Q_GADGET
    QML_FOREIGN(OutputFolder)
    QML_NAMED_ELEMENT(OutputFolder)
    QML_UNCREATABLE("The output folder belongs to its converter")
};

struct SettingsStoreForeign
{
    Q_GADGET
    QML_FOREIGN(SettingsStore)
    QML_NAMED_ELEMENT(SettingsStore)
    QML_UNCREATABLE("The settings belong to their converter")
};

struct PresetListModelForeign
{
    Q_GADGET
    QML_FOREIGN(PresetListModel)
    QML_NAMED_ELEMENT(PresetListModel)
    QML_UNCREATABLE("The presets belong to their settings")
};

struct RemovablePresetsModelForeign
{
    Q_GADGET
    QML_FOREIGN(RemovablePresetsModel)
    QML_NAMED_ELEMENT(RemovablePresetsModel)
    QML_UNCREATABLE("The presets belong to their settings")
};
