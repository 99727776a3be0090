// Files on the host: POSIX calls on the core's Windows-shaped paths. Replacement goes through a
// temporary file that is flushed and then renamed over the old one. POSIX lets a file be
// replaced while another process has it open, so Windows' sharing refusals are not imitated;
// a file without write permission is refused, as Windows refuses a read-only file, also to
// root, whom POSIX would let write it.
// Tests steer the module file name and inject faults through HostFiles.h.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "platform/host/HostFiles.h"
#include "platform/host/HostPaths.h"

namespace zolv::files {

namespace {

struct Control {
  String moduleFileName;
  std::optional<host::ReadStep> readFault;
  std::optional<host::ReplaceStep> replaceFault;
};

Control& TheControl() {
  static Control control;
  return control;
}

template <typename Step>
std::optional<Step> Take(std::optional<Step>& fault) {
  return std::exchange(fault, std::nullopt);
}

bool Fail(int code, String& error) {
  const std::string text = std::system_category().message(code);
  // The C locale's messages are ASCII.
  error.assign(text.begin(), text.end());
  return false;
}

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Close(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }

  // Returns whether the close succeeded, for writers that must know.
  bool Close() {
    if (fd_ < 0)
      return true;
    return ::close(std::exchange(fd_, -1)) == 0;
  }

 private:
  int fd_;
};

// A new file next to the target that is removed again unless it was moved into place.
class TempFile {
 public:
  explicit TempFile(const std::string& target) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = target + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
      fd_.Reset(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      owned_ = fd_.Valid();
      error_ = owned_ ? 0 : errno;
      if (error_ != EEXIST)
        break;
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    fd_.Close();
    if (owned_ && !placed_)
      ::unlink(path_.c_str());
  }

  bool Created() const { return fd_.Valid(); }
  int Error() const { return error_; }
  int Fd() const { return fd_.Get(); }
  bool Close() { return fd_.Close(); }
  bool MoveTo(const std::string& target) {
    placed_ = ::rename(path_.c_str(), target.c_str()) == 0;
    return placed_;
  }

 private:
  UniqueFd fd_{-1};
  std::string path_;
  int error_ = 0;
  bool owned_ = false;
  bool placed_ = false;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written < 0)
      return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool ReadWhole(const String& path, std::string& bytes, String& error) {
  const std::optional<host::ReadStep> fault = Take(TheControl().readFault);
  const std::optional<std::string> native = paths::NativePath(path);
  if (!native)
    return Fail(EILSEQ, error);
  if (fault == host::ReadStep::Open)
    return Fail(EACCES, error);
  const UniqueFd fd(::open(native->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid())
    return Fail(errno, error);
  if (fault == host::ReadStep::Read)
    return Fail(EIO, error);
  bytes.clear();
  struct stat status {};
  if (::fstat(fd.Get(), &status) == 0 && status.st_size > 0)
    bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t count = ::read(fd.Get(), buffer, sizeof buffer);
    if (count < 0 && errno == EINTR)
      continue;
    if (count < 0)
      return Fail(errno, error);
    if (count == 0)
      return true;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

bool ReplaceWhole(const String& path, std::string_view bytes, String& error) {
  const std::optional<host::ReplaceStep> fault = Take(TheControl().replaceFault);
  const std::optional<std::string> native = paths::NativePath(path);
  if (!native)
    return Fail(EILSEQ, error);
  if (fault == host::ReplaceStep::CreateTemp)
    return Fail(EACCES, error);
  struct stat status {};
  if (::stat(native->c_str(), &status) == 0 && !(status.st_mode & S_IWUSR))
    return Fail(EACCES, error);
  TempFile temp(*native);
  if (!temp.Created())
    return Fail(temp.Error(), error);
  if (fault == host::ReplaceStep::Write) {
    WriteAll(temp.Fd(), bytes.substr(0, bytes.size() / 2));
    return Fail(ENOSPC, error);
  }
  if (!WriteAll(temp.Fd(), bytes))
    return Fail(errno, error);
  if (fault == host::ReplaceStep::Flush)
    return Fail(EIO, error);
  if (::fsync(temp.Fd()) != 0 || !temp.Close())
    return Fail(errno, error);
  if (fault == host::ReplaceStep::Rename)
    return Fail(EBUSY, error);
  if (!temp.MoveTo(*native))
    return Fail(errno, error);
  return true;
}

bool Exists(const String& path) {
  const std::optional<std::string> native = paths::NativePath(path);
  struct stat status {};
  return native && ::stat(native->c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool CreateFolder(const String& path) {
  const std::optional<std::string> native = paths::NativePath(path);
  return native && ::mkdir(native->c_str(), 0777) == 0;
}

String ModuleFileName() {
  if (!TheControl().moduleFileName.empty())
    return TheControl().moduleFileName;
  std::error_code ignored;
  const std::string exe = std::filesystem::read_symlink("/proc/self/exe", ignored).string();
  return paths::WindowsPath(exe).value_or(String());
}

}  // namespace zolv::files

namespace zolv::files::host {

void SetModuleFileName(String name) {
  TheControl().moduleFileName = std::move(name);
}

void FailNextRead(ReadStep step) {
  TheControl().readFault = step;
}

void FailNextReplace(ReplaceStep step) {
  TheControl().replaceFault = step;
}

void Reset() {
  TheControl() = Control{};
}

}  // namespace zolv::files::host
