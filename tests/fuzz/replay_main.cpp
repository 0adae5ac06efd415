// Runs a fuzz target once over every input file named on the command line or
// found in a directory named there, for builds without libFuzzer. A name
// that is not there, a file that cannot be read or a folder with nothing in
// it fails the replay: a corpus that went missing must not pass as tested.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// False when the file cannot be read.
bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in || !std::filesystem::is_regular_file(file)) return false;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return true;
}

bool cannotRead(const std::filesystem::path& file) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
}

// Replays `name`, a file or every file of a folder; false on the first that
// cannot be read, or when there is none.
bool replayAll(const char* name, int& inputs) {
    std::error_code error;
    if (!std::filesystem::is_directory(name, error)) {
        if (!replay(name)) return cannotRead(name);
        ++inputs;
        return true;
    }
    int before = inputs;
    for (const auto& entry : std::filesystem::directory_iterator(name)) {
        if (!replay(entry.path())) return cannotRead(entry.path());
        ++inputs;
    }
    if (inputs == before) std::fprintf(stderr, "%s holds no input\n", name);
    return inputs > before;
}

}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i)
        if (!replayAll(argv[i], inputs)) return 1;
    if (inputs == 0) {
        std::fprintf(stderr, "nothing to replay\n");
        return 1;
    }
    std::printf("replayed %d inputs\n", inputs);
    return 0;
}
