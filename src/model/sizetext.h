#pragma once

#include <QString>

/// The two ways sizes are written. A file's own size, input or output, is `kilobytes`, so that
/// the sizes of one row read alike; the totals of a run use `total`.
namespace SizeText {
/// "2897.1 KB", "0.3 KB": kilobytes of 1024 bytes with one decimal and a full stop in every
/// locale.
[[nodiscard]] QString kilobytes(qint64 bytes);
/// "12.3 KB" below a megabyte, then "4.5 MB" and "1.2 GB", with a full stop in every locale.
[[nodiscard]] QString total(qint64 bytes);
} // namespace SizeText
