// un7z [--sequential | --threads N] ARCHIVE OUTDIR
// Extracts every entry of ARCHIVE below OUTDIR; the exit status is the reader's result code.
// Independent blocks are decoded side by side, one thread per block up to the number of cores
// (or N) and within the memory budget; --sequential decodes and writes on one thread.
#include "tools/un7z/Extractor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: un7z [--sequential | --threads N] ARCHIVE OUTDIR\n");
    return SZ_ERROR_PARAM;
}

} // namespace

int main(int argc, char** argv) {
    sevenzip::ExtractionOptions options;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--sequential") == 0) {
        options.maxThreads = 1;
        options.overlap = false;
        first = 2;
    } else if (argc > 2 && std::strcmp(argv[1], "--threads") == 0) {
        char* end = nullptr;
        const unsigned long threads = std::strtoul(argv[2], &end, 10);
        if (*end != '\0' || threads == 0 || threads > 1024)
            return Usage();
        options.maxThreads = static_cast<unsigned>(threads);
        first = 3;
    }
    if (argc - first != 2)
        return Usage();
    std::string message;
    SRes res = un7z::ExtractAll(argv[first], argv[first + 1], options, message);
    if (res != SZ_OK)
        std::fprintf(stderr, "un7z: %s (error %d)\n", message.c_str(), res);
    return res;
}
