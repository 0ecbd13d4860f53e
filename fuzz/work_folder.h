#pragma once
// A private folder for the files a fuzz target writes. Loading a damaged version 1 file
// leaves its repair log in the current directory, so each input runs inside this folder;
// between inputs, and so whenever libFuzzer reads its corpus or writes a new unit, the
// current directory is the one the fuzzer was started in, and relative paths work.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace rsfuzz {

struct WorkFolderState {
  std::string folder;    // the private folder
  std::string startDir;  // where the fuzzer was started
  std::vector<std::string> args;
  std::vector<char*> argv;
};

inline WorkFolderState& State() {
  static WorkFolderState state;
  return state;
}

[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

inline std::string Absolute(const std::string& path) {
  return path.empty() || path[0] == '/' ? path : State().startDir + "/" + path;
}

// A crash inside an input is written while the private folder is current, and the
// folder goes away at exit; so the artifact prefix is made absolute (the default is the
// starting folder) before libFuzzer reads its flags.
inline void AnchorArtifacts(int* argc, char*** argv) {
  WorkFolderState& s = State();
  bool prefixGiven = false;
  for (int i = 0; i < *argc; ++i) {
    std::string arg = (*argv)[i];
    for (const char* flag : {"-artifact_prefix=", "-exact_artifact_path="}) {
      const size_t n = std::strlen(flag);
      if (arg.compare(0, n, flag) == 0) {
        arg = flag + Absolute(arg.substr(n));
        prefixGiven = true;
      }
    }
    s.args.push_back(arg);
  }
  if (!prefixGiven) s.args.push_back("-artifact_prefix=" + s.startDir + "/");
  for (std::string& arg : s.args) s.argv.push_back(arg.data());
  s.argv.push_back(nullptr);
  *argc = static_cast<int>(s.args.size());
  *argv = s.argv.data();
}

inline void RemoveWorkFolder() {
  const std::string& folder = State().folder;
  for (const char* name : {"input.mus", "base.mus", "muserror.txt", "rsh.rs9"})
    std::remove((folder + "/" + name).c_str());
  rmdir(folder.c_str());
}

// Creates the folder (in memory where possible, as a repair syncs to disk) and removes
// it at exit. Call from LLVMFuzzerInitialize.
inline void PrepareWorkFolder(int* argc, char*** argv, const char* target) {
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) Fail("cannot read the current directory");
  State().startDir = cwd;
  AnchorArtifacts(argc, argv);
  std::string inMemory = std::string("/dev/shm/") + target + "-XXXXXX";
  std::string onDisk = std::string("/tmp/") + target + "-XXXXXX";
  const char* dir = mkdtemp(inMemory.data());
  if (!dir) dir = mkdtemp(onDisk.data());
  if (!dir) Fail("cannot create the work folder");
  State().folder = dir;
  std::atexit(RemoveWorkFolder);
}

// Makes the work folder current for one input and goes back afterwards.
class InWorkFolder {
 public:
  InWorkFolder() {
    if (chdir(State().folder.c_str()) != 0) Fail("cannot enter the work folder");
  }
  ~InWorkFolder() {
    if (chdir(State().startDir.c_str()) != 0) Fail("cannot return to the starting folder");
  }
  InWorkFolder(const InWorkFolder&) = delete;
  InWorkFolder& operator=(const InWorkFolder&) = delete;
};

// Writes bytes to name in the current directory.
inline void WriteInput(const char* name, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(name, "wb");
  if (!f) Fail("cannot write the input file");
  const bool ok = std::fwrite(data, 1, size, f) == size;
  if (std::fclose(f) != 0 || !ok) Fail("cannot write the input file");
}

}  // namespace rsfuzz
