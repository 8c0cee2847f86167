// Replays a fuzz target's kept inputs without libFuzzer, so the normal build's
// tests run them: every file of each folder given, in name order. A broken
// invariant aborts as under the fuzzer; a folder without inputs fails too, so
// a renamed folder is not a silent pass.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    for (int i = 1; i < argc; ++i) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(argv[i], ec))
            if (e.is_regular_file())
                files.push_back(e.path());
        if (ec || files.empty()) {
            std::fprintf(stderr, "%s: no inputs%s%s\n", argv[i], ec ? ": " : "", ec ? ec.message().c_str() : "");
            return 1;
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) {
            std::ifstream in(f, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            std::fprintf(stderr, "%s\n", f.string().c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        std::printf("%s: %zu inputs\n", argv[i], files.size());
    }
    return 0;
}
