// Stored icon lists come from the layout resource: decoding any bytes must
// either refuse them with tarvik::Error or give entries that encode back to
// the same bytes when no slot had a negative size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/error.h"
#include "controls/icon_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<tarvik::StoredIcon> entries;
    try {
        entries = tarvik::DecodeIconStore(data, size);
    } catch (const tarvik::Error&) {
        return 0;
    }
    const tarvik::Bytes encoded = tarvik::EncodeIconStore(entries);
    // Encoding normalises every empty slot to size 0; decoding that again
    // must give the same entries.
    if (tarvik::DecodeIconStore(encoded) != entries) std::abort();
    if (encoded.size() > size) std::abort();
    return 0;
}
