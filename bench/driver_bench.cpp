// Cost of the installed driver against the GNU cross driver on the same
// compiles. Each case runs both command lines alternately, many times, each
// in a fresh process (fork/exec, wait4), and prints the median wall time,
// the median user+sys CPU time of the child, and the ratios cc / gcc (lower
// is faster; 1.00 is parity).
//
//   (a) start-up: `cc -n -c small.c` against `arm-none-eabi-gcc -### -c small.c`:
//       both only form their commands and print them, running no tool;
//   (b) compiles: `cc -c` against `arm-none-eabi-gcc -c` on a small and on a
//       medium-sized source, both running cc1 and as;
//   (c) sixteen small sources in one call of each, which weighs what the
//       driver spends per file;
//   (d) a link of hello from a board template (cc1, as, sectwright, ld)
//       against gcc compiling and linking the same source with the same
//       libraries and a linker script made beforehand. gcc's command line is
//       formed from what `cc -n` shows, so the two do the same work.
//
//   bench_driver [rounds] [driver]   (defaults: 60 rounds, the installed cc)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Arguments = std::vector<std::string>;

// The same Cortex-M4 Thumb target and optimisation on both sides.
const Arguments kDriverTarget = {"-cpu=Cortex-M4", "-thumb", "-O2"};
const Arguments kGccTarget = {"-mcpu=cortex-m4", "-mthumb", "-O2"};

// What the driver passes to cc1 and as beyond the target flags, so that gcc's
// cc1 and as do the same work; the installation's include directory is added
// separately because it depends on where the driver lives.
const Arguments kGccSameAsDriver = {
    "-fmessage-length=0", "-fno-diagnostics-show-caret", "-mlittle-endian", "-mfloat-abi=soft", "-mtp=soft",
    "-nostdinc", "-I.", "-D__SIZEOF_WCHAR_T=4", "-D__ARM_ARCH_4T__", "-D__TIDEWATER_ARM",
    "-D__TIDEWATER_MAJOR_VERSION=4", "-D__TIDEWATER_MINOR_VERSION=0", "-D__TIDEWATER_REVISION=6", "-std=gnu99",
    "-fomit-frame-pointer", "-fno-dwarf2-cfi-asm", "-fno-builtin", "-ffunction-sections", "-fdata-sections",
    "-fshort-enums", "-fno-common", "-Wa,--traditional-format"};

/// The system include directory of the installation holding the driver (bin/../include).
std::string installedIncludeDirectory(const std::string& driver) {
  const size_t bin = driver.rfind("/bin/");
  return (bin == std::string::npos ? std::string(".") : driver.substr(0, bin)) + "/include";
}

/// Wall and child CPU time of one process run, in seconds.
struct Sample {
  double wall = 0;
  double cpu = 0;
};

double seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

/// Runs the command with standard output and error thrown away; false when it
/// cannot start or exits with a nonzero status.
bool runOnce(const Arguments& command, const std::string& directory, Sample& sample) {
  std::vector<char*> argv;
  for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);

  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  sample.wall = std::chrono::duration<double>(Clock::now() - start).count();
  sample.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

/// One comparison: the driver's command line and gcc's, run the same number of times.
struct Case {
  std::string title;
  Arguments driver;
  Arguments gcc;
  int rounds = 0;
  std::string directory;  ///< where both run; empty for the current directory
};

std::string joined(const Arguments& command) {
  std::string text;
  for (const std::string& argument : command) text += (text.empty() ? "" : " ") + argument;
  return text;
}

bool runCase(const Case& benchCase) {
  std::vector<double> driverWall, driverCpu, gccWall, gccCpu;
  Sample sample;
  // One untimed run each warms the page cache and the dynamic loader.
  if (!runOnce(benchCase.driver, benchCase.directory, sample)) {
    std::fprintf(stderr, "bench_driver: failed: %s\n", joined(benchCase.driver).c_str());
    return false;
  }
  if (!runOnce(benchCase.gcc, benchCase.directory, sample)) {
    std::fprintf(stderr, "bench_driver: failed: %s\n", joined(benchCase.gcc).c_str());
    return false;
  }
  for (int round = 0; round < benchCase.rounds; ++round) {
    // Alternate which side goes first so neither always follows the other.
    const bool driverFirst = round % 2 == 0;
    for (int side = 0; side < 2; ++side) {
      const bool driver = (side == 0) == driverFirst;
      if (!runOnce(driver ? benchCase.driver : benchCase.gcc, benchCase.directory, sample)) {
        std::fprintf(stderr, "bench_driver: failed: %s\n",
                     joined(driver ? benchCase.driver : benchCase.gcc).c_str());
        return false;
      }
      (driver ? driverWall : gccWall).push_back(sample.wall);
      (driver ? driverCpu : gccCpu).push_back(sample.cpu);
    }
  }
  const double dw = median(driverWall), dc = median(driverCpu);
  const double gw = median(gccWall), gc = median(gccCpu);
  std::printf("%s (%d runs each, medians)\n", benchCase.title.c_str(), benchCase.rounds);
  std::printf("  cc:   %s\n  gcc:  %s\n", joined(benchCase.driver).c_str(), joined(benchCase.gcc).c_str());
  std::printf("  wall      cc %8.2f ms   gcc %8.2f ms   ratio %5.3f (cc / gcc)\n", dw * 1e3, gw * 1e3, dw / gw);
  std::printf("  user+sys  cc %8.2f ms   gcc %8.2f ms   ratio %5.3f (cc / gcc)\n", dc * 1e3, gc * 1e3,
              gc > 0 ? dc / gc : 0.0);
  return true;
}

Arguments concat(Arguments list, const Arguments& more) {
  list.insert(list.end(), more.begin(), more.end());
  return list;
}

bool writeFile(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

std::string readFile(const std::string& path) {
  std::string text;
  if (FILE* file = std::fopen(path.c_str(), "r")) {
    char buffer[4096];
    for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, count);
    std::fclose(file);
  }
  return text;
}

/// The commands `cc -n` shows, each split at blanks (none of them quotes).
std::vector<Arguments> shownCommands(const Arguments& command, const std::string& directory) {
  const std::string listing = directory + "/shown.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(listing.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || chdir(directory.c_str()) != 0) _exit(127);
    dup2(out, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  std::vector<Arguments> commands;
  const std::string text = readFile(listing);
  std::remove(listing.c_str());
  size_t lineStart = 0;
  while (lineStart < text.size()) {
    size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    Arguments words;
    for (size_t at = lineStart; at < lineEnd;) {
      const size_t end = std::min(text.find(' ', at), lineEnd);
      if (end > at) words.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    if (!words.empty()) commands.push_back(std::move(words));
    lineStart = lineEnd + 1;
  }
  return commands;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

/// The link case: hello linked by cc from a template, and gcc's single call
/// doing the same compile, assembly and link with a script sectwright wrote
/// beforehand. Empty commands when `cc -n` does not show the expected steps.
Case linkCase(const std::string& driver, const std::string& directory, int rounds) {
  const std::string board = "lm3s6965evb";
  Case link{"(d) link hello for " + board + " from its template",
            {driver, "-y" + board, "hello.c", "-o", "hello.elf"}, {}, rounds, directory};
  if (!writeFile(directory + "/hello.c",
                 "#include <stdio.h>\nint main(void) { printf(\"hello %d\\n\", 42); return 0; }\n")) {
    return link;
  }
  Arguments shown = link.driver;
  shown.insert(shown.begin() + 1, "-n");
  Arguments gcc = {"arm-none-eabi-gcc", "-nostdlib", "-nostartfiles"};
  Sample sample;
  for (const Arguments& command : shownCommands(shown, directory)) {
    const std::string tool = command.front().substr(command.front().rfind('/') + 1);
    if (tool == "cc1") {
      for (size_t i = 1; i < command.size(); ++i) {
        if (command[i] == "-o") ++i;
        else if (command[i] != "-quiet" && command[i] != "hello.c") gcc.push_back(command[i]);
      }
    } else if (tool == "as") {
      for (size_t i = 1; i < command.size(); ++i) {
        if (command[i] == "-o") ++i;
        else if (command[i].starts_with('-')) gcc.push_back("-Wa," + command[i]);
      }
    } else if (tool == "sectwright") {
      Arguments script = command;
      script.back() = "ready.ld";
      if (!runOnce(script, directory, sample)) return link;
    } else if (tool == "ld") {
      for (size_t i = 1; i < command.size(); ++i) {
        const std::string& argument = command[i];
        if (argument == "-o") {
          gcc.insert(gcc.end(), {"-o", "anchor.elf"});
          ++i;
        } else if (argument.starts_with("-T")) {
          gcc.insert(gcc.end(), {"-Xlinker", "-Tready.ld"});
        } else if (endsWith(argument, "hello.o")) {
          gcc.push_back("hello.c");
        } else if (endsWith(argument, ".a") || endsWith(argument, ".o")) {
          gcc.push_back(argument);
        } else {
          gcc.insert(gcc.end(), {"-Xlinker", argument});
        }
      }
    }
  }
  if (std::find(gcc.begin(), gcc.end(), "anchor.elf") != gcc.end()) link.gcc = gcc;
  return link;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  // The tree installed beside this build, else the one scripts/bootstrap installs.
  const std::string driver = argc > 2                                         ? argv[2]
                             : access(TW_BENCH_BUILD_DRIVER, X_OK) == 0 ? TW_BENCH_BUILD_DRIVER
                                                                          : TW_BENCH_SOURCE_DRIVER;
  const std::string data = TW_BENCH_DATA_DIR;
  const std::string small = data + "/small.c";
  const std::string medium = data + "/medium.c";

  char directoryTemplate[] = "/tmp/bench_driver.XXXXXX";
  const char* scratch = mkdtemp(directoryTemplate);
  if (scratch == nullptr) {
    std::perror("bench_driver: mkdtemp");
    return 1;
  }
  const std::string object = std::string(scratch) + "/out.o";
  Arguments gccFlags = concat(kGccTarget, kGccSameAsDriver);
  gccFlags.push_back("-isystem" + installedIncludeDirectory(driver));

  const std::vector<Case> cases = {
      {"(a) start-up: commands shown, none run, " + small,
       concat(concat({driver, "-n", "-c"}, kDriverTarget), {"-o", object, small}),
       concat(concat({"arm-none-eabi-gcc", "-###", "-c"}, gccFlags), {"-o", object, small}), rounds},
      {"(b) compile " + small, concat(concat({driver, "-c"}, kDriverTarget), {"-o", object, small}),
       concat(concat({"arm-none-eabi-gcc", "-c"}, gccFlags), {"-o", object, small}), rounds},
      {"(b) compile " + medium, concat(concat({driver, "-c"}, kDriverTarget), {"-o", object, medium}),
       concat(concat({"arm-none-eabi-gcc", "-c"}, gccFlags), {"-o", object, medium}), std::max(1, rounds / 3)},
  };
  bool ok = true;
  for (const Case& benchCase : cases) ok = runCase(benchCase) && ok;

  const std::string multi = std::string(scratch) + "/multi";
  Arguments driverMulti = concat({driver, "-c"}, kDriverTarget);
  Arguments gccMulti = concat({"arm-none-eabi-gcc", "-c"}, gccFlags);
  mkdir(multi.c_str(), 0755);
  const std::string smallText = readFile(small);
  for (int i = 0; i < 16; ++i) {
    const std::string name = "f" + std::to_string(i) + ".c";
    ok = writeFile(multi + "/" + name, smallText) && ok;
    driverMulti.push_back(name);
    gccMulti.push_back(name);
  }
  ok = runCase({"(c) compile 16 copies of " + small + " in one call", driverMulti, gccMulti,
                std::max(1, rounds / 6), multi}) && ok;

  const std::string linking = std::string(scratch) + "/link";
  mkdir(linking.c_str(), 0755);
  const Case link = linkCase(driver, linking, std::max(1, rounds / 3));
  if (link.gcc.empty()) {
    std::fprintf(stderr, "bench_driver: cc -n did not show the link steps of %s\n", joined(link.driver).c_str());
    ok = false;
  } else {
    ok = runCase(link) && ok;
  }
  std::system(("rm -rf '" + multi + "' '" + linking + "'").c_str());

  std::remove(object.c_str());
  rmdir(scratch);
  return ok ? 0 : 1;
}
