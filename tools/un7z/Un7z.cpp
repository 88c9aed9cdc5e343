// un7z [--sequential] ARCHIVE OUTDIR
// Extracts every entry of ARCHIVE below OUTDIR; the exit status is the reader's result code.
#include "tools/un7z/Extractor.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    bool overlap = true;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--sequential") == 0) {
        overlap = false;
        first = 2;
    }
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: un7z [--sequential] ARCHIVE OUTDIR\n");
        return SZ_ERROR_PARAM;
    }
    std::string message;
    SRes res = un7z::ExtractAll(argv[first], argv[first + 1], overlap, message);
    if (res != SZ_OK)
        std::fprintf(stderr, "un7z: %s (error %d)\n", message.c_str(), res);
    return res;
}
