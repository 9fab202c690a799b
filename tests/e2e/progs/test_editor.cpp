// A stand-in for the user's text editor, started by Tamble as
// `"editor" "file"`.
//
//   TEST_EDITOR_SEEN   a file that receives the bytes the editor was given
//   TEST_EDITOR_TEXT   a file whose bytes replace the edited file; when it
//                      does not exist the file is left alone, as a user who
//                      closes the editor without saving leaves it
//
// Both are Windows paths. Exit codes: 0 done, 1 a file could not be read or
// written, 2 usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool read_file(const char* path, std::string* bytes) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes->append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool write_file(const char* path, const std::string& bytes) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: test_editor FILE\n");
        return 2;
    }
    std::string given;
    if (!read_file(argv[1], &given)) return 1;
    if (const char* seen = std::getenv("TEST_EDITOR_SEEN"))
        if (!write_file(seen, given)) return 1;
    const char* source = std::getenv("TEST_EDITOR_TEXT");
    std::string replacement;
    if (source && read_file(source, &replacement)) {
        // File times advance in ticks of a few milliseconds: a save at once
        // after Tamble's write could keep its time, which no user's does.
        Sleep(50);
        if (!write_file(argv[1], replacement)) return 1;
    }
    return 0;
}
