#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace platform {
namespace {

FileStep failingStep = FileStep::None;

bool Fails(FileStep step) { return failingStep == step; }

// Owns the temporary file: closes it, and removes it unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target) : name_(target + ".XXXXXX") {
    std::vector<char> pattern(name_.begin(), name_.end());
    pattern.push_back('\0');
    if (!Fails(FileStep::Create)) fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    name_.assign(pattern.data());
  }
  ~TemporaryFile() {
    Close();
    if (!renamed_ && fd_ != kNeverOpened) ::unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  bool Close() {
    if (fd_ < 0) return true;
    int rc = ::close(fd_);
    fd_ = kClosed;
    return rc == 0;
  }
  void MarkRenamed() { renamed_ = true; }

 private:
  static constexpr int kNeverOpened = -1;
  static constexpr int kClosed = -2;
  std::string name_;
  int fd_ = kNeverOpened;
  bool renamed_ = false;
};

bool WriteAll(int fd, std::string_view content) {
  if (Fails(FileStep::Write)) return false;
  while (!content.empty()) {
    ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  std::size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

// Makes the rename itself durable.
void SyncFolder(const std::string& path) {
  int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a path names: a symbolic link is followed, so that the file it points to is
// replaced and the link stays a link; a dangling link names nothing.
std::optional<std::string> FileBehind(const std::string& path) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> target(::realpath(path.c_str(), nullptr), &std::free);
  if (!target) return std::nullopt;
  return std::string(target.get());
}

}  // namespace

void FailFileStepForTesting(FileStep step) { failingStep = step; }

bool ReplaceFileAtomically(const std::string& name, std::string_view content) {
  std::optional<std::string> behind = FileBehind(name);
  if (!behind) return false;
  const std::string& path = *behind;
  struct stat old {};
  bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return false;  // a folder or anything else stays as it is

  TemporaryFile temporary(path);
  if (!temporary.IsOpen()) return false;
  mode_t mode = exists ? (old.st_mode & 07777) : (S_IRUSR | S_IWUSR);
  if (::fchmod(temporary.fd(), mode) != 0) return false;
  if (exists) (void)!::fchown(temporary.fd(), old.st_uid, old.st_gid);
  if (!WriteAll(temporary.fd(), content)) return false;
  if (Fails(FileStep::Sync) || ::fsync(temporary.fd()) != 0) return false;
  if (!temporary.Close()) return false;
  if (Fails(FileStep::Rename) || ::rename(temporary.name().c_str(), path.c_str()) != 0) return false;
  temporary.MarkRenamed();
  SyncFolder(path);
  return true;
}

}  // namespace platform
