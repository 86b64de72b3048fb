#include "section_renamings.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

bool SectionRenamings::take(std::string_view argument) {
  for (Renaming& renaming : renamings_) {
    if (argument.starts_with(renaming.option)) {
      renaming.name = argument.substr(std::strlen(renaming.option));
      return true;
    }
  }
  return false;
}

bool SectionRenamings::any() const {
  for (const Renaming& renaming : renamings_) {
    if (!renaming.name.empty()) return true;
  }
  return false;
}

const SectionRenamings::Renaming* SectionRenamings::match(std::string_view name) const {
  for (const Renaming& renaming : renamings_) {
    const std::string_view section = renaming.section;
    if (renaming.name.empty() || !name.starts_with(section)) continue;
    if (name.size() == section.size() || name[section.size()] == '.') return &renaming;
  }
  return nullptr;
}

std::string SectionRenamings::renameLine(const std::string& line) const {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line[start] != '.') return line;
  const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
  const std::string directive = line.substr(start, end - start);
  if (directive == ".text" || directive == ".data" || directive == ".bss") {
    const Renaming* renaming = match(directive);
    if (!renaming || line.find_first_not_of(" \t", end) != std::string::npos) return line;
    return line.substr(0, start) + ".section\t" + renaming->name + "," + renaming->flags;
  }
  if (directive != ".section" && directive != ".pushsection") return line;
  const std::size_t nameStart = line.find_first_not_of(" \t", end);
  if (nameStart == std::string::npos) return line;
  const std::size_t nameEnd = std::min(line.find_first_of(", \t", nameStart), line.size());
  const std::string_view name = std::string_view(line).substr(nameStart, nameEnd - nameStart);
  const Renaming* renaming = match(name);
  if (!renaming) return line;
  const std::string rest = line.substr(nameEnd);
  const bool hasFlags = rest.find_first_not_of(" \t") != std::string::npos;
  return line.substr(0, nameStart) + renaming->name + std::string(name.substr(std::strlen(renaming->section))) +
         (hasFlags ? rest : std::string(",") + renaming->flags);
}

bool SectionRenamings::renameIn(const std::string& path) const {
  std::ifstream in(path);
  if (!in) return false;
  std::ostringstream out;
  for (std::string line; std::getline(in, line);) out << renameLine(line) << '\n';
  in.close();
  // Written beside the file and renamed over it, so a failure leaves the compiler's output whole.
  const std::string temporary = path + ".renaming";
  std::ofstream file(temporary);
  file << out.str();
  file.close();
  if (!file || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

int runAndRename(const char* tool, const std::vector<const char*>& arguments, const std::string& output,
                 const SectionRenamings& renamings) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::execv(tool, const_cast<char* const*>(arguments.data()));
    std::fprintf(stderr, "%s: cannot start %s: %s\n", arguments[0], tool, std::strerror(errno));
    ::_exit(127);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) {
    std::fprintf(stderr, "%s: cannot run %s: %s\n", arguments[0], tool, std::strerror(errno));
    return 127;
  }
  if (!WIFEXITED(status)) return 128 + WTERMSIG(status);
  if (WEXITSTATUS(status) != 0) return WEXITSTATUS(status);
  if (!renamings.renameIn(output)) {
    std::fprintf(stderr, "%s: cannot rename the sections of %s\n", arguments[0], output.c_str());
    return 1;
  }
  return 0;
}
