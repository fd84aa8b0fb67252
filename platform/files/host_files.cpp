#include "platform/files/host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/safe_file.h"

namespace veltrix::platform {

std::string HostFilesBackend::PathInFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

bool HostFilesBackend::FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> HostFilesBackend::ReadTextFile(const std::string& path, std::size_t maxBytes,
                                                          std::string* reason) {
  files::ReadResult read = files::ReadRegularFile(path, maxBytes, files::Links::kRefuse);
  if (!read.text && reason != nullptr) *reason = read.problem.Because();
  return std::move(read.text);
}

bool HostFilesBackend::AppendRecord(const std::string& path, std::string_view bytes, std::string* reason) {
  const files::SplitPath where = files::Split(path);
  files::Problem problem;
  auto fail = [&] {
    if (reason != nullptr) *reason = problem.Because();
    return false;
  };
  std::optional<files::Folder> folder = files::Folder::Open(where.folder, false, &problem);
  if (!folder) return fail();
  struct stat status {};
  std::optional<files::UniqueFd> fd =
      folder->OpenForWriting(where.name, O_WRONLY | O_APPEND, 0644, &status, &problem);
  if (!fd) return fail();
  // Appends go to the end; what was there before this record is kept whatever happens.
  const off_t end = status.st_size;
  if (files::WriteAll(fd->Get(), bytes)) return true;
  problem = files::Problem{errno, std::strerror(errno)};
  // A record cut short (a full disk, a file-size limit) is taken back, so the file always ends
  // with the last whole record and a later record is never glued to half of this one.
  while (::ftruncate(fd->Get(), end) != 0 && errno == EINTR) {
  }
  return fail();
}

bool HostFilesBackend::RemoveFile(const std::string& path, std::string* reason) {
  const files::SplitPath where = files::Split(path);
  files::Problem problem;
  std::optional<files::Folder> folder = files::Folder::Open(where.folder, false, &problem);
  if (folder) {
    const std::optional<struct stat> st = folder->StatName(where.name);
    if (!st) {
      problem = files::Problem{errno, std::strerror(errno)};
    } else if (std::optional<std::string> why =
                   files::OwnerChecksApply() ? files::OwnershipProblem(folder->Status(), &*st, ::geteuid())
                                             : std::nullopt) {
      problem = files::Problem{EACCES, *why};
    } else if (int error = folder->Unlink(where.name); error != 0) {
      problem = files::Problem{error, std::strerror(error)};
    } else {
      return true;
    }
  }
  if (reason != nullptr) *reason = problem.Because();
  return false;
}

Files& HostFiles() {
  static HostFilesBackend files;
  return files;
}

}  // namespace veltrix::platform
