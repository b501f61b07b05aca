// libFuzzer target for the decoding of ReadRecordsRequest replies: whatever the bytes and the
// stated count, the reader never reads outside the payload (AddressSanitizer watches), and every
// record it hands over lies inside it.
//
// Input: 4 bytes of stated count, then the payload. Built with clang when it is installed:
//   build/tests/record-reader-fuzzer -max_total_time=600     (longer runs by hand)

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/RecordReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::int32_t count;
    std::memcpy(&count, data, 4);
    // A buffer of exactly the payload's size, so that a read past its end is caught.
    const std::vector<std::uint8_t> payload(data + 4, data + size);
    const auto length = static_cast<std::uint32_t>(payload.size());
    LogRecord storage;
    // What each record handed over takes at least: 28 bytes, its text and NUL, its attachment.
    std::uint64_t least = 0;
    const std::int32_t read =
        RecordReader::Read(payload.data(), length, count, storage, [&](const LogRecord& r, std::uint64_t) {
            least += 28 + std::strlen(r.description.Text()) + 1 + r.attachedData.bytes.Size();
        });
    if (read < 0 || (count >= 0 && read > count)) std::abort();
    if (least > payload.size()) std::abort();  // handed over more than the payload holds
    return 0;
}
