#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"

#include <QByteArray>

class OutputMetadata;
class OutputReservation;

/// Converts one input image into one WebP file in the job's output folder: decode, redraw into
/// 8-bit sRGB at the target size, write a temporary PNG, run the encoder, check the output and
/// only then give it its name. Safe to call from any thread; never throws. A file that ends
/// cancelled or in error leaves nothing in the output folder.
namespace FileConverter {
/// `inputPath` is the file system's own bytes of the input's path, used as they are;
/// `subfolder` is where it was found below an added folder (FileItem::subfolder), which the
/// output keeps when the job keeps folders.
[[nodiscard]] ConversionStatus convert(const QByteArray &inputPath, const ConversionJob &job,
                                       const RunFlags &flags, const QByteArray &subfolder = {});

/// The error message of a file whose smallest encode was still over the limit.
[[nodiscard]] QString overLimitMessage(qint64 limitBytes, qint64 smallestBytes);

/// Checks what the encoder `program` wrote into `output` and adds `metadata` to it. Returns
/// the file's size, or sets `failure` and returns -1; the metadata failing to go in fails the
/// file only when `detailsRequired`.
[[nodiscard]] qint64 finishOutput(const OutputReservation &output, const OutputMetadata &metadata,
                                  bool detailsRequired, ConversionStatus &failure,
                                  const QString &program = QStringLiteral("cwebp"));
/// Names the finished output as the job's output options say: dated first when the input's date
/// is kept, then published under the first free name, or skipped when the name is taken and
/// taken names are skipped. `size` is its size, `frames` its number of frames.
[[nodiscard]] ConversionStatus publish(OutputReservation &output, qint64 size,
                                       const QByteArray &inputPath, const QByteArray &subfolder,
                                       const ConversionJob &job, int frames = 1,
                                       const QStringList &keptMetadata = {});
} // namespace FileConverter
