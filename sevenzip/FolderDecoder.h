#pragma once

#include "sevenzip/ByteSource.h"
#include "sevenzip/Database.h"

#include <cstddef>
#include <cstdint>

namespace sevenzip {

// Method ids of the coders this reader decodes (7-Zip's Methods.txt).
enum MethodId : std::uint64_t {
    kMethodCopy = 0x00,
    kMethodDelta = 0x03,
    kMethodX86 = 0x03030103,
    kMethodBcj2 = 0x0303011B,
    kMethodPowerPc = 0x03030205,
    kMethodIa64 = 0x03030401,
    kMethodArm = 0x03030501,
    kMethodArmThumb = 0x03030701,
    kMethodSparc = 0x03030805,
    kMethodArm64 = 0x0A,
    kMethodLzma = 0x030101,
    kMethodLzma2 = 0x21,
    kMethodPpmd = 0x030401,
};

// Decodes the main output of `folder` into `out` (exactly the folder's unpack size bytes).
// Intermediate streams (BCJ2's inputs, a filter fed by a coder that cannot decode in place)
// are held in temporary buffers, each limited to `maxBufferSize` bytes.
SRes DecodeFolder(ByteSource& source, const Database& db, const Folder& folder, Byte* out,
                  std::size_t size, std::uint64_t maxBufferSize);

} // namespace sevenzip
