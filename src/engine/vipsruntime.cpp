#include "vipsruntime.h"

#include <vips/vips8>

#include <malloc.h>
#include <mutex>

namespace VipsRuntime {

bool ensureStarted()
{
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        // The decoders' many threads would otherwise each keep an allocator arena of freed
        // buffers: two arenas hold the peak of a run of photos at about two thirds.
        ::mallopt(M_ARENA_MAX, 2);
        // Decoded frames and scratch buffers of a megabyte or more get pages of their own that
        // go back to the system when freed. Left to itself, the allocator raises this limit
        // after the first such buffer is freed, and from then on keeps every freed frame in
        // its heap: a run of photos then holds half again as much memory at its peak.
        ::mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
        started = VIPS_INIT("tessel") == 0;
        if (!started)
            return;
        // Every file is decoded once and never again, so cached operations would only hold
        // memory; worse, a cached load would hand back stale pixels for a file that was
        // rewritten under the same name between two runs.
        vips_cache_set_max(0);
        vips_cache_set_max_mem(0);
        vips_cache_set_max_files(0);
        // A file that cannot be read ends as its row's message; libvips' own warnings (such as
        // an ignored colour profile) would only clutter the terminal of `tessel convert`.
        g_log_set_handler(
            "VIPS", G_LOG_LEVEL_WARNING,
            [](const gchar *, GLogLevelFlags, const gchar *, gpointer) {}, nullptr);
    });
    return started;
}

} // namespace VipsRuntime
