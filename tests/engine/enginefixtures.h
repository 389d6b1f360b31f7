#pragma once

#include "conversionjob.h"
#include "conversionstatus.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

#include <vips/vips8>

/// Images, files and stand-in encoders that the engine tests make in their own folders.
namespace EngineFixtures {
/// The real encoder the tests run.
inline const QString realEncoder = QStringLiteral("/usr/bin/cwebp");

/// A 3-band 8-bit image of noise that is the same on every run.
[[nodiscard]] vips::VImage noise(int width, int height, int seed = 1);
/// A flat image with one band per value in `space`: 16-bit in GREY16 and RGB16, else 8-bit; by
/// default sRGB from three bands, else B_W.
[[nodiscard]] vips::VImage flat(int width, int height, const std::vector<double> &values,
                                VipsInterpretation space = VIPS_INTERPRETATION_ERROR);

/// The numbers in `text`, separated by spaces.
[[nodiscard]] std::vector<double> numbers(const QString &text);

/// Encodes `image` in the format of `suffix` (".jpg", ".png[bitdepth=16]", …) and writes it
/// to `path`, whatever that path's own extension says.
void save(const vips::VImage &image, const char *suffix, const QString &path);
/// The bytes of `image` encoded in the format of `suffix`.
[[nodiscard]] QByteArray encode(const vips::VImage &image, const char *suffix);
void writeBytes(const QString &path, const QByteArray &bytes);
/// "W×H bands" of `image`.
[[nodiscard]] QString shape(const vips::VImage &image);
/// The resolution in `image`'s EXIF data in pixels per inch, "none" without one.
[[nodiscard]] QString exifPpi(const vips::VImage &image);
/// Decodes a file in full.
[[nodiscard]] vips::VImage readBack(const QString &path);
/// What a conversion may leave behind: files (hidden ones too) in the temporary folder itself,
/// and files this process still holds open that are unlinked or inside the temporary folder.
[[nodiscard]] QStringList leftovers();
/// The entries of `folder`, hidden ones included, sorted.
[[nodiscard]] QStringList entries(const QString &folder);

/// A run's values in quality mode at the image's own size, into `output`.
[[nodiscard]] ConversionJob job(const QString &output, const QString &encoder = realEncoder);
/// Converts one local file with `values`, neither stopped nor aborted.
[[nodiscard]] ConversionStatus convert(const QString &input, const ConversionJob &values);
} // namespace EngineFixtures

Q_DECLARE_METATYPE(vips::VImage)
