// libFuzzer target: any bytes stored as the settings document either decode into a whole
// record that survives another round trip, or give nothing. Never a crash.

#include "convertersettings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto decoded = ConverterSettings::fromJson(bytes);
    if (!decoded)
        return 0;
    const auto again = ConverterSettings::fromJson(decoded->toJson());
    // The document holds every field, so equal documents mean equal records.
    if (!again || again->toJson() != decoded->toJson())
        std::abort();
    return 0;
}
