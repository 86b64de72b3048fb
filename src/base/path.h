#pragma once
// Path name helpers, written once for the whole program.
//
// Names follow the system's rules: for "dir/a.b.c" the file name is "a.b.c",
// the base name "a" (up to the first "."), the complete base name "a.b" (up
// to the last "."), the suffix "c" (after the last ".") and the complete
// suffix "b.c" (after the first "."). Only the file name part is searched
// for dots, so "x.d/file" has no suffix.

#include <string>
#include <string_view>

namespace tidewater {

std::string fileName(std::string_view path);
std::string baseName(std::string_view path);
std::string completeBaseName(std::string_view path);
std::string suffix(std::string_view path);
std::string completeSuffix(std::string_view path);

/// Directory part of a path: "out" for "out/app.elf", "." for "app.elf",
/// "/" for "/app.elf".
std::string directoryPart(std::string_view path);

/// Joins "dir" and "name" with one "/"; an absolute name is returned as is.
std::string joinPath(std::string_view dir, std::string_view name);

/// Lexical clean-up: collapses "//", removes "." segments and resolves ".."
/// against the preceding segment. Never touches the file system.
std::string cleanPath(std::string_view path);

bool isAbsolutePath(std::string_view path);

/// The process's current working directory, or "" when it cannot be read.
std::string currentDirectory();

/// A clean absolute path: relative paths are taken from "base" (the current
/// directory when empty).
std::string absolutePath(std::string_view path, std::string_view base = {});

/// The absolute path with every symbolic link resolved, or "" when the path
/// does not exist.
std::string canonicalPath(std::string_view path);

/// The path of "target" as seen from directory "fromDir", both made absolute
/// first: "../lib/x.a" for target "/p/lib/x.a" from "/p/src".
std::string relativePath(std::string_view fromDir, std::string_view target);

/// The path as a tool's argument: a relative name starting with "-" gets
/// "./" before it, so that no tool reads it as an option.
std::string pathArgument(std::string path);

}  // namespace tidewater
