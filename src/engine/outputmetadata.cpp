#include "outputmetadata.h"

#include "heifmetadata.h"
#include "imagesignature.h"

#include <algorithm>
#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <unistd.h>

namespace {

/// IFD0 tags that describe how an input's own pixels were stored, or that carry blocks the
/// output keeps elsewhere (XMP, IPTC) or not at all (the colour profile: the pixels are sRGB).
constexpr const char *storageTags[] = {
    "Exif.Image.NewSubfileType",
    "Exif.Image.SubfileType",
    "Exif.Image.BitsPerSample",
    "Exif.Image.Compression",
    "Exif.Image.FillOrder",
    "Exif.Image.SamplesPerPixel",
    "Exif.Image.PlanarConfiguration",
    "Exif.Image.Predictor",
    "Exif.Image.TileWidth",
    "Exif.Image.TileLength",
    "Exif.Image.TileOffsets",
    "Exif.Image.TileByteCounts",
    "Exif.Image.ExtraSamples",
    "Exif.Image.SampleFormat",
    "Exif.Image.JPEGTables",
    "Exif.Image.TransferFunction",
    "Exif.Image.InterColorProfile",
    "Exif.Image.XMLPacket",
    "Exif.Image.IPTCNAA",
    "Exif.Image.ImageResources",
};

/// Sets up the library once: quiet, and its XMP toolkit guarded so that files can be read on
/// several threads at once.
void ensureStarted()
{
    static std::once_flag once;
    static std::mutex xmpLock;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize(
            [](void *lock, bool locking) {
                auto *mutex = static_cast<std::mutex *>(lock);
                locking ? mutex->lock() : mutex->unlock();
            },
            &xmpLock);
    });
}

/// Erases the entries `predicate` picks; whether there were any.
template <typename Data> bool eraseIf(Data &data, auto predicate)
{
    bool erased = false;
    for (auto it = data.begin(); it != data.end();) {
        if (predicate(*it)) {
            it = data.erase(it);
            erased = true;
        } else {
            ++it;
        }
    }
    return erased;
}

/// Sets the tag `key` to `value` when it is there.
template <typename Value> void replace(Exiv2::ExifData &exif, const char *key, Value value)
{
    if (auto it = exif.findKey(Exiv2::ExifKey(key)); it != exif.end())
        *it = value;
}

void replace(Exiv2::XmpData &xmp, const char *key, const std::string &value)
{
    if (auto it = xmp.findKey(Exiv2::XmpKey(key)); it != xmp.end())
        *it = value;
}

bool isGroup(const std::string &group, std::initializer_list<const char *> prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const char *prefix) { return group.rfind(prefix, 0) == 0; });
}

/// The input's EXIF made true of the output. Returns whether it held a location.
bool adaptExif(Exiv2::ExifData &exif, const OutputMetadata::Request &request)
{
    // The thumbnail, and a TIFF's further images and theirs: the output has one picture.
    eraseIf(exif, [](const Exiv2::Exifdatum &d) {
        return isGroup(d.groupName(), {"Thumbnail", "SubImage", "SubThumb", "Image2", "Image3"});
    });
    for (const char *key : storageTags)
        eraseIf(exif, [key](const Exiv2::Exifdatum &d) { return d.key() == key; });
    bool location = false;
    if (!request.keepLocation)
        location = eraseIf(exif, [](const Exiv2::Exifdatum &d) {
            return d.groupName() == "GPSInfo" || d.key() == "Exif.Image.GPSTag";
        });
    else
        location = std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum &d) {
            return d.groupName() == "GPSInfo";
        });
    replace(exif, "Exif.Image.Orientation", uint16_t(1));
    replace(exif, "Exif.Photo.ColorSpace", uint16_t(1));
    replace(exif, "Exif.Image.ImageWidth", uint32_t(request.width));
    replace(exif, "Exif.Image.ImageLength", uint32_t(request.height));
    replace(exif, "Exif.Photo.PixelXDimension", uint32_t(request.width));
    replace(exif, "Exif.Photo.PixelYDimension", uint32_t(request.height));
    return location;
}

/// The input's XMP made true of the output, with IPTC entries it lacks. Returns whether it
/// held a location.
bool adaptXmp(Exiv2::XmpData &xmp, const Exiv2::IptcData &iptc,
              const OutputMetadata::Request &request)
{
    if (!iptc.empty()) {
        Exiv2::XmpData fromIptc;
        Exiv2::copyIptcToXmp(iptc, fromIptc);
        for (const Exiv2::Xmpdatum &d : fromIptc)
            if (xmp.findKey(Exiv2::XmpKey(d.key())) == xmp.end())
                xmp.add(d);
    }
    const auto hasLocation = [](const Exiv2::Xmpdatum &d) {
        return d.key().find("GPS") != std::string::npos;
    };
    const bool location = request.keepLocation ? std::any_of(xmp.begin(), xmp.end(), hasLocation)
                                               : eraseIf(xmp, hasLocation);
    // The EXIF block carries the resolution; a thumbnail and a profile name would be stale.
    eraseIf(xmp, [](const Exiv2::Xmpdatum &d) {
        const std::string key = d.key();
        return key.rfind("Xmp.tiff.XResolution", 0) == 0 ||
               key.rfind("Xmp.tiff.YResolution", 0) == 0 ||
               key.rfind("Xmp.tiff.ResolutionUnit", 0) == 0 ||
               key.rfind("Xmp.xmp.Thumbnails", 0) == 0 || key == "Xmp.photoshop.ICCProfile";
    });
    const std::string width = std::to_string(request.width);
    const std::string height = std::to_string(request.height);
    replace(xmp, "Xmp.tiff.Orientation", "1");
    replace(xmp, "Xmp.exif.ColorSpace", "1");
    replace(xmp, "Xmp.tiff.ImageWidth", width);
    replace(xmp, "Xmp.tiff.ImageLength", height);
    replace(xmp, "Xmp.exif.PixelXDimension", width);
    replace(xmp, "Xmp.exif.PixelYDimension", height);
    return location;
}

/// Whether the file at `path` is a HEIF or AVIF file.
bool isHeif(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    QByteArray head(ImageSignature::headerLength, '\0');
    const ssize_t count = TEMP_FAILURE_RETRY(::pread(fd, head.data(), size_t(head.size()), 0));
    ::close(fd);
    return count > 0 && ImageSignature::sniff(head.left(count)) == ImageSignature::Format::heif;
}

/// Reads the input's blocks into `exif`, `xmp` and `iptc`; false with `out`'s error set when
/// they could not be read. An input of a type the library does not know has none.
bool read(const QByteArray &inputPath, Exiv2::ExifData &exif, Exiv2::XmpData &xmp,
          Exiv2::IptcData &iptc, OutputMetadata &out)
{
    out.error = QStringLiteral("Could not read the photo details");
    try {
        if (isHeif(inputPath)) {
            const HeifMetadata::Blocks blocks = HeifMetadata::read(inputPath);
            if (!blocks.error.isEmpty()) {
                out.detail = blocks.error;
                return false;
            }
            if (!blocks.exif.isEmpty())
                Exiv2::ExifParser::decode(exif,
                                          reinterpret_cast<const Exiv2::byte *>(blocks.exif.data()),
                                          uint32_t(blocks.exif.size()));
            if (!blocks.xmp.isEmpty() && Exiv2::XmpParser::decode(xmp, blocks.xmp.toStdString()))
                return false;
        } else {
            const std::string path(inputPath.constData(), size_t(inputPath.size()));
            auto image = Exiv2::ImageFactory::open(path, false);
            image->readMetadata();
            exif = image->exifData();
            xmp = image->xmpData();
            iptc = image->iptcData();
        }
        out.error.clear();
        return true;
    } catch (const Exiv2::AnyError &e) {
        if (e.code() == Exiv2::kerFileContainsUnknownImageType) {
            out.error.clear();
            return true;
        }
        out.detail = QString::fromLocal8Bit(e.what());
    } catch (const std::exception &e) {
        out.detail = QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    return false;
}

QByteArray encodedExif(const Exiv2::ExifData &exif)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    return QByteArray(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size()));
}

} // namespace

OutputMetadata OutputMetadata::build(const QByteArray &inputPath, const Request &request)
{
    OutputMetadata out;
    try {
        ensureStarted();
        Exiv2::ExifData exif;
        Exiv2::XmpData xmp;
        Exiv2::IptcData iptc;
        if (request.keepDetails) {
            if (!read(inputPath, exif, xmp, iptc, out))
                return out;
            // The resolution is the chosen PPI, not the input's.
            eraseIf(exif, [](const Exiv2::Exifdatum &d) {
                return d.key() == "Exif.Image.XResolution" || d.key() == "Exif.Image.YResolution" ||
                       d.key() == "Exif.Image.ResolutionUnit";
            });
            const bool exifLocation = adaptExif(exif, request);
            const bool xmpLocation = adaptXmp(xmp, iptc, request);
            if (!exif.empty())
                out.kept << QStringLiteral("exif");
            if (!xmp.empty())
                out.kept << QStringLiteral("xmp");
            if (request.keepLocation && (exifLocation || xmpLocation))
                out.kept << QStringLiteral("location");
        }
        if (request.ppi > 0) {
            const auto ppi =
                uint32_t(std::min<qint64>(request.ppi, std::numeric_limits<uint32_t>::max()));
            exif["Exif.Image.XResolution"] = Exiv2::URational(ppi, 1);
            exif["Exif.Image.YResolution"] = Exiv2::URational(ppi, 1);
            exif["Exif.Image.ResolutionUnit"] = uint16_t(2); // inches
        }
        if (!exif.empty())
            out.exif = encodedExif(exif);
        std::string packet;
        if (!xmp.empty() &&
            Exiv2::XmpParser::encode(packet, xmp, Exiv2::XmpParser::useCompactFormat) != 0) {
            out.error = QStringLiteral("Could not write the photo details");
            return out;
        }
        out.xmp = QByteArray::fromStdString(packet);
    } catch (const std::exception &e) {
        out.error = QStringLiteral("Could not write the photo details");
        out.detail = QString::fromLocal8Bit(e.what());
    } catch (...) {
        out.error = QStringLiteral("Could not write the photo details");
    }
    return out;
}
